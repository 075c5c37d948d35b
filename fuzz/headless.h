#pragma once
// The application the fuzz targets that lay out, measure or draw need: started once, headless, and never
// destroyed — libFuzzer ends the process through exit(), after Qt's own global objects are gone, and
// tearing the application down then crashes inside Qt.

#include <cstdlib>
#include <memory>

#include "platform/application.h"

namespace fuzz {

inline int StartHeadlessApplication(int* argc, char*** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static platform::Application* app = std::make_unique<platform::Application>(*argc, *argv).release();
    (void)app;
    return 0;
}

}  // namespace fuzz
