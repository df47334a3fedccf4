/* Section layout of the programs built without a C runtime (add_dialog_program), for both the
   32-bit and the 64-bit build. Based on ld's default PE script, cut down to what these programs
   contain. With a file alignment of 512 every section costs at least one 512-byte sector, and
   beyond three sections the headers need a second one: so code, read-only data and the imports
   share .text, and what nothing reads is dropped. The product ends up with .text, .rtdata and
   .rsrc (its application manifest). */
SECTIONS
{
  /* What the image does without, first so that no later statement claims it. Nothing unwinds
     (no exceptions), so the DWARF unwind tables of libgcc's helpers go, with the compilers'
     notes. Each imported function's member of an import library (dlltool names them
     <library>s<5 digits>.o) brings a 4-byte .idata$7 word that only ties it to its library at
     link time: nothing in the image points at it. The library's name, the one .idata$7 the
     loader reads, comes from the library's tail member and stays. */
  /DISCARD/ :
  {
    *(.eh_frame*)
    *(.debug$S) *(.debug$T) *(.debug$F)
    *(.drectve) *(.note.GNU-stack) *(.gnu.lto_*)
    *s[0-9][0-9][0-9][0-9][0-9].o(.idata$7)
  }
  . = SIZEOF_HEADERS;
  . = ALIGN(__section_alignment__);
  .text __image_base__ + (__section_alignment__ < 0x1000 ? . : __section_alignment__) :
  {
    *(.text) *(SORT(.text$*)) *(.text.*)
    /* Constants are read-only: they live beside the code. .refptr pointers (64-bit) are in
       .rdata$ and need no relocation, as the image is never moved. */
    *(.rdata) *(SORT(.rdata$*))
    *(.xdata*)
    /* Imports, in the order the default script gives them. They are read-only here, as other
       linkers place them too: the loader makes the address table writable while it fills it in
       (the table's own data directory says where it is). The linker writes the data directories
       of the import list and of the address table from the symbols named after their input
       sections, which it takes as addresses relative to the image (it finds them by the
       section's name only in a section called .idata). */
    ".idata$2" = ABSOLUTE(.) - __image_base__;
    KEEP(SORT(*)(.idata$2))
    KEEP(SORT(*)(.idata$3))
    /* These zeroes mark the end of the import list. */
    LONG(0); LONG(0); LONG(0); LONG(0); LONG(0);
    ".idata$4" = ABSOLUTE(.) - __image_base__;
    KEEP(SORT(*)(.idata$4))
    __IAT_start__ = .;
    ".idata$5" = ABSOLUTE(.) - __image_base__;
    KEEP(SORT(*)(.idata$5))
    __IAT_end__ = .;
    ".idata$6" = ABSOLUTE(.) - __image_base__;
    KEEP(SORT(*)(.idata$6))
    KEEP(SORT(*)(.idata$7))
  }
  /* Writable data of the test programs; the product keeps its data in .rtdata only. */
  .data BLOCK(__section_alignment__) :
  {
    *(.data) *(.data2) *(SORT(.data$*))
  }
  /* The runtime's data section: a page of its own, writable; the module stores its first 512
     bytes and start-up moves data about within the whole page. */
  .rtdata BLOCK(__section_alignment__) :
  {
    KEEP(*(.rtdata))
  }
  /* Unwind records of 64-bit code, if any; their section name is how the loader finds them. */
  .pdata BLOCK(__section_alignment__) :
  {
    KEEP(*(.pdata*))
  }
  .bss BLOCK(__section_alignment__) :
  {
    *(.bss) *(COMMON)
  }
  /* Resources: the application manifest add_dialog_program embeds, and those of a program's own
     .rc files. */
  .rsrc BLOCK(__section_alignment__) : SUBALIGN(4)
  {
    KEEP(*(.rsrc)) KEEP(*(.rsrc$*))
  }
}
