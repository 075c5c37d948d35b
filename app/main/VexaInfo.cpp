// The program entry: starts the application, creates the info window and its question dialog, and runs
// the message loop until the window closes.
#include "app/program.h"
#include "platform/application.h"

int main(int argc, char** argv)
{
    platform::Application app(argc, argv);
    ChooseRuntimeFolder();
    CreateInfoWindows(app);
    return app.Run();
}
