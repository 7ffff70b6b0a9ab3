#pragma once

#include "common/Errors.h"

// A picture or icon whose bytes do not make a valid image of its format. The message names
// the format ("Invalid Icon or Cursor", "Invalid PNG image", ...).
class EInvalidGraphic final : public EMorvalenError
{
public:
    using EMorvalenError::EMorvalenError;
};
