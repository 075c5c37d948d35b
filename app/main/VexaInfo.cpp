// The program entry: starts the application, creates the info window and runs the message loop.
#include "platform/application.h"

int main(int argc, char** argv)
{
    platform::Application app(argc, argv);
    return app.Run();
}
