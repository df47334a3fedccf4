// The application's data image: the constants area as the module stores it.
#include "app/constants.hpp"

namespace {

// The layout factors. As single-precision values 0.1, 0.05, 0.8, 0.4 and 0.2 lie slightly above
// their decimal values and 0.65 slightly below it, which is what the layout's rounding sees.
constexpr float LEFT = 0.1f;
constexpr float REPORT_TOP = 0.05f;
constexpr float WIDTH = 0.8f;
constexpr float REPORT_HEIGHT = 0.4f;
constexpr float BUTTON_TOP = 0.65f;
constexpr float BUTTON_HEIGHT = 0.2f;
static_assert(__builtin_bit_cast(uint32_t, LEFT) == 0x3DCCCCCD, "0.1 in single precision");
static_assert(__builtin_bit_cast(uint32_t, REPORT_TOP) == 0x3D4CCCCD, "0.05 in single precision");
static_assert(__builtin_bit_cast(uint32_t, WIDTH) == 0x3F4CCCCD, "0.8 in single precision");
static_assert(__builtin_bit_cast(uint32_t, REPORT_HEIGHT) == 0x3ECCCCCD, "0.4 in single precision");
static_assert(__builtin_bit_cast(uint32_t, BUTTON_TOP) == 0x3F266666, "0.65 in single precision");
static_assert(__builtin_bit_cast(uint32_t, BUTTON_HEIGHT) == 0x3E4CCCCD, "0.2 in single precision");

}  // namespace

RUNTIME_DATA_SECTION(AppConstants, {
    LEFT, REPORT_TOP, WIDTH, REPORT_HEIGHT, BUTTON_TOP, BUTTON_HEIGHT,
    "Resizing",
    "This is a button",
    0,
    "Width = ",
    " pixels ",
    "\r\n",
    "Height = ",
    " pixels",
    {},
});
