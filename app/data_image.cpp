// The application's data image: the constants area as the module stores it.
#include "app/constants.hpp"

RUNTIME_DATA_SECTION(AppConstants, {
    0x3DCCCCCD, 0x3D4CCCCD, 0x3F4CCCCD, 0x3ECCCCCD, 0x3F266666, 0x3E4CCCCD,
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
