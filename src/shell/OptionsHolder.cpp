#include "shell/OptionsHolder.h"

#include "platform/SettingsStore.h"
#include "shell/CarefullRegistry.h"

namespace quillane {

TOptionsHolder::TOptionsHolder(TOptionsEnvironment env, TOptionsHooks& hooks, TMessageBox& messages,
                               TStorageFactory factory)
    : env_(std::move(env)), hooks_(hooks), messages_(messages), factory_(std::move(factory)) {
    TSettingsStorage defaults;
    options_ = ReadOptions(defaults, env_);
}

std::unique_ptr<TSettingsStorage> TOptionsHolder::CreateStorage() {
    if (factory_) {
        return factory_();
    }
    return std::make_unique<TCarefullRegistry>(OpenUserSettingsStore(), QuillaneSettingsRoot);
}

void TOptionsHolder::Load(TSettingsStorage& storage, TPlacementSwitches switches) {
    options_ = ReadOptions(storage, env_);
    options_.MainWindow = PlaceMainWindow(options_.MainWindow, env_.ScreenWidth, env_.ScreenHeight, switches);
    hooks_.Apply(options_);
}

bool TOptionsHolder::Save(bool sessionEnding) {
    TOptions current = options_;
    hooks_.Collect(current);
    if (current.UseDocFolder && !current.DocFolder.empty()) {
        current.InitDir = current.DocFolder;
    } else {
        std::string folder = hooks_.CurrentFolder();
        if (folder.empty()) {
            folder = env_.CurrentFolder;
        }
        current.InitDir = hooks_.OnRemovableDrive(folder) ? hooks_.DesktopFolder() : folder;
    }
    const std::unique_ptr<TSettingsStorage> storage = CreateStorage();
    const bool saved = WriteOptions(*storage, env_, current);
    if (!saved && !sessionEnding) {
        messages_.Show("Error saving options", TMessageKind::Error, TMessageButtons::Ok);
    }
    return saved;
}

void TrimAllFileLists(TOptions& options, int32_t n) {
    for (TFileList* list : {&options.RecentDocs, &options.OpenDocFiles, &options.SaveDocAsFiles,
                            &options.InsertDocFiles, &options.InsertPictureFolders, &options.InsertPictureFiles}) {
        list->Trim(n);
    }
}

void TOptionsHolder::ApplyChanged(const TOptions& before) {
    TrimAllFileLists(options_, options_.DocsToKeep);
    hooks_.ApplyChanged(before, options_);
}

bool TOptionsHolder::AcceptEdited(const TOptions& edited) {
    const TOptions before = options_;
    options_ = edited;
    ApplyChanged(before);
    return before.AccumSBSA != options_.AccumSBSA;
}

}  // namespace quillane
