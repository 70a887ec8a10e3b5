#include "app/data/app_image.h"

// The service table starts empty; the runtime fills it before start-up.
app::AppImage g_appImage = {
    {},
    {
#define CONSTANT_TEXT(field, text) text,
#include "app/data/constant_texts.def"
#undef CONSTANT_TEXT
    },
};
