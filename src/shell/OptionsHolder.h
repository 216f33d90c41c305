#pragma once
// The program's options: read once at start, written back at exit (and when
// the session ends), edited as a whole by the options dialog.
//
// The holder knows the settings tree; what the options mean to the rest of
// the program reaches it through TOptionsHooks, which the shell implements
// part by part (dialogs, main window, histories, colours, languages) as
// those parts exist. A run without hooks, such as a developer tool, loads
// and saves the same values with nothing applied.

#include <functional>
#include <memory>
#include <string>

#include "platform/MessageBox.h"
#include "shell/OptionTable.h"
#include "shell/Options.h"
#include "shell/SettingsStorage.h"
#include "shell/WindowPlacement.h"

namespace quillane {

class TOptionsHooks {
public:
    virtual ~TOptionsHooks() = default;
    // After loading: filter indexes to the dialogs, InitDir made current,
    // the main window placed, histories filled, view values and the colour
    // scheme applied.
    virtual void Apply(const TOptions&) {}
    // Before saving: the current filter indexes, the main window's
    // placement, the histories, the active document's view flags.
    virtual void Collect(TOptions&) {}
    // After the options dialog changed the options.
    virtual void ApplyChanged(const TOptions& /*before*/, const TOptions& /*after*/) {}
    // The current folder ("" for the one at start), whether a folder lies on
    // a removable or CD drive, and the desktop folder.
    virtual std::string CurrentFolder() { return {}; }
    virtual bool OnRemovableDrive(const std::string&) { return false; }
    virtual std::string DesktopFolder() { return {}; }
};

class TOptionsHolder {
public:
    using TStorageFactory = std::function<std::unique_ptr<TSettingsStorage>()>;

    // The hooks and the message box are not owned and outlive the holder.
    // Without a factory, storages are the careful registry over the user's
    // settings store.
    TOptionsHolder(TOptionsEnvironment env, TOptionsHooks& hooks, TMessageBox& messages,
                   TStorageFactory factory = {});

    std::unique_ptr<TSettingsStorage> CreateStorage();

    void Load(TSettingsStorage& storage, TPlacementSwitches switches = {});
    // Writes everything through a new storage. A failure is shown as "Error
    // saving options", except while the session ends, when a modal box would
    // hold the shutdown. Saving twice writes the same values.
    bool Save(bool sessionEnding = false);
    // After the options dialog: lists trimmed to "DocsToKeep", then the hooks.
    void ApplyChanged(const TOptions& before);
    // The dialog's OK: its copy replaces the options. True when the change
    // needs every document reformatted.
    bool AcceptEdited(const TOptions& edited);

    TOptions& Options() { return options_; }
    const TOptions& Options() const { return options_; }
    const TOptionsEnvironment& Environment() const { return env_; }

private:
    TOptionsEnvironment env_;
    TOptionsHooks& hooks_;
    TMessageBox& messages_;
    TStorageFactory factory_;
    TOptions options_;
};

// The recent list and the five dialog histories trimmed to n entries.
void TrimAllFileLists(TOptions& options, int32_t n);

}  // namespace quillane
