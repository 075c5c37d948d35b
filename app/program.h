#pragma once
// Start-up of the info program, shared by its entry and the headless driver.

#include <string>

namespace platform {
class Application;
}
class TInfoForm;
class TInfoCloseForm;

// Makes the runtime folder current: the pages ("Info") are looked for in the current folder first,
// then beside the program, and the program works from where they are. Launchers often start programs
// in the home folder. Returns the folder in force.
std::string ChooseRuntimeFolder();

struct InfoWindows {
    TInfoForm* InfoForm = nullptr;
    TInfoCloseForm* InfoCloseForm = nullptr;
};

// Creates the info window (the main form; its creation loads the first page) and then the hidden
// question dialog, and links the two.
InfoWindows CreateInfoWindows(platform::Application& app);
