// The application's data image: the service table, then the constant block.
#pragma once

#include "runtime/app_header.h"

namespace app {

struct ConstantTexts {
#define CONSTANT_TEXT(field, text) char field[sizeof(text)];
#include "app/data/constant_texts.def"
#undef CONSTANT_TEXT
};

// The runtime finds the service table just before the constant block, so the
// two must stay together and in this order.
struct AppImage {
    runtime::ServiceTable services;
    ConstantTexts constants;
};

}  // namespace app

extern "C" app::AppImage g_appImage;

namespace app {
inline const ConstantTexts& Constants() { return g_appImage.constants; }
}  // namespace app
