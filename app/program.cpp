#include "app/program.h"

#include "app/infocloseunit.h"
#include "app/infounit.h"
#include "platform/application.h"
#include "platform/files.h"

std::string ChooseRuntimeFolder()
{
    if (!platform::DirectoryExists("Info")) {
        std::string beside = platform::ProgramDir();
        if (!beside.empty() && beside.back() != '/')
            beside += '/';
        if (!beside.empty() && platform::DirectoryExists(beside + "Info"))
            platform::SetCurrentDir(beside);
    }
    return platform::GetCurrentDir();
}

InfoWindows CreateInfoWindows(platform::Application& app)
{
    InfoWindows w;
    w.InfoForm = &app.CreateForm<TInfoForm>();
    w.InfoCloseForm = &app.CreateForm<TInfoCloseForm>(w.InfoForm);
    w.InfoForm->InfoCloseForm = w.InfoCloseForm;
    return w;
}
