#pragma once
// The installation worker and what it shares with the user-interface
// thread. The worker unpacks queue 0 and then queue 1; the wizard's timer
// watches the state, shows the worker's questions and pauses it while the
// user is asked whether to quit.
//
// States: 0 idle, 1 installing, 2 paused, 3 finished or cancelled, 4
// failed, 5 a question waits for the user, 6 the question was answered.
// The state is atomic and every change is made under one mutex, with a
// condition variable instead of busy waiting or suspending the thread: a
// thread suspended at an arbitrary point could hold the heap's lock the
// dialog then needs. The worker pauses only at its checkpoints (between
// files and between 16 KB blocks), and every wait ends when the state
// becomes 3, a pending question then answering Abort.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "platform/MessageBox.h"
#include "setup/AttachedFiles.h"
#include "setup/InstallLog.h"

namespace quillane {

enum class TInstallState : uint8_t {
    Idle = 0,
    Installing = 1,
    Paused = 2,
    Finished = 3,  // done, or cancelled
    Failed = 4,
    MessageRequested = 5,
    MessageAnswered = 6,
};

struct TInstallRequest {
    std::string Text;
    TMessageKind Kind = TMessageKind::Error;
    TMessageButtons Buttons = TMessageButtons::Ok;
    bool WizardDialog = false;  // the wizard's own dialog rather than the system box
};

constexpr uint8_t NoComponent = 255;

class TInstallThreadStatus {
public:
    TInstallState State() const { return state_.load(); }
    uint8_t Component() const { return component_.load(); }
    int64_t BytesDone() const { return bytesDone_.load(); }
    int32_t FilesDone() const { return filesDone_.load(); }

    // --- the user-interface thread
    // A waiting question, taken for showing: the state goes from 5 to 2.
    std::optional<TInstallRequest> TakeRequest();
    // The user's answer: the state becomes 6 (unless cancelled meanwhile).
    void Answer(TMessageAnswer answer);
    // Pauses the worker while the user is asked whether to quit; returns
    // the state to give back to EndClose (a waiting question survives).
    TInstallState BeginClose();
    // The user stays: the state saved by BeginClose comes back.
    void EndClose(TInstallState saved);
    // The user quits: the state becomes 3 and every wait of the worker ends.
    void Cancel();

    // --- the worker
    void Start();
    // Waits while paused; false once cancelled.
    bool Checkpoint();
    // Passes a question to the user-interface thread and waits for its
    // answer; Abort when the installation is cancelled meanwhile.
    TMessageAnswer Ask(const TInstallRequest& request);
    void SetComponent(uint8_t component) { component_.store(component); }
    void SetBytesDone(int64_t bytes) { bytesDone_.store(bytes); }
    void FileDone() { filesDone_.fetch_add(1); }
    // The worker's end: 3, or 4 after a failure (a cancellation stays 3).
    void Finish(bool failed);

private:
    void SetLocked(TInstallState state);

    std::atomic<TInstallState> state_{TInstallState::Idle};
    std::atomic<uint8_t> component_{NoComponent};
    std::atomic<int64_t> bytesDone_{0};
    std::atomic<int32_t> filesDone_{0};
    std::mutex mutex_;
    std::condition_variable changed_;
    TInstallRequest request_;
    TMessageAnswer answer_ = TMessageAnswer::Abort;
};

// The message box of the worker thread: each question goes through the
// status to the user-interface thread.
class TWorkerMessageBox final : public TMessageBox {
public:
    explicit TWorkerMessageBox(TInstallThreadStatus& status) : status_(status) {}
    TMessageAnswer Show(const std::string& text, TMessageKind kind, TMessageButtons buttons) override {
        return status_.Ask({text, kind, buttons, false});
    }

private:
    TInstallThreadStatus& status_;
};

// The worker: starts at once and runs once. It uses the payload, the log
// and the status without owning them; the owner must keep them until
// Join (or the destructor, which cancels and joins) returns, and save the
// log only after that.
class TInstallThread {
public:
    TInstallThread(TAttachedFiles& files, TInstallLog& log, TInstallThreadStatus& status);
    ~TInstallThread();
    TInstallThread(const TInstallThread&) = delete;
    TInstallThread& operator=(const TInstallThread&) = delete;

    void Join();

private:
    void Run();
    bool InstallQueue(int queue, int64_t& bytes);

    TAttachedFiles& files_;
    TInstallLog& log_;
    TInstallThreadStatus& status_;
    std::thread thread_;
};

}  // namespace quillane
