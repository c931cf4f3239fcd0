#pragma once

#include "host/CMach4Wrapper.h"
#include "windows/LayoutStorage.h"
#include "windows/UserLayoutFiles.h"
#include "windows/UserLayoutForm.h"
#include "windows/ZentyrMain.h"

#include <functional>

// The slot of a user-built window. Its first opening runs, in order: restore the window's
// desktop section; hand it the script object and the update thread (and `prepare`'s own
// steps); read its default layout file; apply its stored scale; bind it. Saving the desktop
// layout writes its section; at program end a modified column is offered for saving.
template <typename Form>
TToolWindowSlot UserLayoutSlot(TForm1& main, std::function<void(Form&)> prepare = {})
{
    TToolWindowSlot slot(
        [&main]() -> QWidget* {
            auto* form = new Form(main.Context().platform);
            form->SetDialogFolder(
                InitialLayoutFolder(main.Context().programPath, main.Context().layoutFilePath));
            return form;
        },
        [&main, prepare](QWidget* window) {
            auto& form = static_cast<Form&>(*window);
            TCMach4Wrapper& wMach = main.wMach();
            TLayoutStorage* desktop = main.fs();
            if (desktop)
                form.ReadDesktop(*desktop);
            form.SetIMach(wMach.iMach());
            form.SetUpdateThread(wMach.UpdateThread());
            if (prepare)
                prepare(form);
            form.ReadDefaultLayout();
            if (desktop)
                form.ApplyDesktopScale(*desktop);
            wMach.BindWindow(&form);
            form.RegisterColumnOnce();
        });
    slot.SetSaveLayout([](QWidget* window, TLayoutStorage& desktop) {
        static_cast<Form*>(window)->WriteDesktop(desktop);
    });
    slot.SetStoreAtClose([](QWidget* window, TLayoutStorage&) {
        static_cast<Form*>(window)->AskToSaveAtExit();
    });
    return slot;
}
