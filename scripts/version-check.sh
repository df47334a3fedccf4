#!/usr/bin/env bash
# The version of DialogKit has one home, project(DialogKit VERSION ...) in CMakeLists.txt: the
# package's version file, the version header and the greeting of the consumer test take it from
# there. This checks the texts that name it by hand: every three-part version number (not the
# first three parts of a longer one, such as the system's 6.0.0.0), and every
# "DialogKit X.Y" (in find_package calls, say), in the README, the guide and the starter project
# must be that version or its major.minor. Fails naming each place that is not.
#   version-check.sh SOURCE
set -u
cd "${1:-.}" || exit 2
version=$(sed -n 's/^project(DialogKit VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "version-check: no version in CMakeLists.txt"; exit 2; }
minor=${version%.*}
files=(README.md docs/toolkit.md examples/starter/CMakeLists.txt examples/starter/README.md)
bad=0
while IFS=: read -r file line found; do
  number=${found#DialogKit }
  [ "$found" != "$number" ] || [ "$(tr -cd . <<<"$number")" = .. ] || continue
  if [ "$number" != "$version" ] && [ "$number" != "$minor" ]; then
    echo "version-check: $file:$line names $found; DialogKit is $version (CMakeLists.txt)"
    bad=1
  fi
done < <(grep -noE '\b[0-9]+(\.[0-9]+)+\b|DialogKit [0-9]+\.[0-9]+(\.[0-9]+)?' "${files[@]}")
[ $bad = 0 ] && echo "version-check: every version named is $version"
exit $bad
