#pragma once
// Small JPEG files made by libjpeg itself, for tests that need real JPEG
// data: a horizontal ramp in every component.

#include <cstdio>

#include <jpeglib.h>

#include "pictures/Bytes.h"

namespace quillane::test {

TBytes MakeJpeg(int width, int height, J_COLOR_SPACE space = JCS_RGB, int components = 3, bool progressive = false);

}  // namespace quillane::test
