#include "setup/InstallThread.h"

#include <exception>

#include "setup/ExtractFile.h"

namespace quillane {

void TInstallThreadStatus::SetLocked(TInstallState state) {
    state_.store(state);
    changed_.notify_all();
}

std::optional<TInstallRequest> TInstallThreadStatus::TakeRequest() {
    std::lock_guard lock(mutex_);
    if (state_.load() != TInstallState::MessageRequested) {
        return std::nullopt;
    }
    SetLocked(TInstallState::Paused);
    return request_;
}

void TInstallThreadStatus::Answer(TMessageAnswer answer) {
    std::lock_guard lock(mutex_);
    if (state_.load() == TInstallState::Finished) {
        return;
    }
    answer_ = answer;
    SetLocked(TInstallState::MessageAnswered);
}

TInstallState TInstallThreadStatus::BeginClose() {
    std::lock_guard lock(mutex_);
    const TInstallState saved = state_.load();
    switch (saved) {
        case TInstallState::Installing:
        case TInstallState::MessageRequested:
        case TInstallState::MessageAnswered: SetLocked(TInstallState::Paused); break;
        default: break;
    }
    return saved;
}

void TInstallThreadStatus::EndClose(TInstallState saved) {
    std::lock_guard lock(mutex_);
    if (state_.load() == TInstallState::Paused) {
        SetLocked(saved);
    }
}

void TInstallThreadStatus::Cancel() {
    std::lock_guard lock(mutex_);
    if (state_.load() != TInstallState::Failed) {
        SetLocked(TInstallState::Finished);
    }
}

void TInstallThreadStatus::Start() {
    std::lock_guard lock(mutex_);
    if (state_.load() == TInstallState::Idle) {
        SetLocked(TInstallState::Installing);
    }
}

bool TInstallThreadStatus::Checkpoint() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return state_.load() != TInstallState::Paused; });
    return state_.load() != TInstallState::Finished;
}

TMessageAnswer TInstallThreadStatus::Ask(const TInstallRequest& request) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return state_.load() != TInstallState::Paused; });
    if (state_.load() == TInstallState::Finished) {
        return TMessageAnswer::Abort;
    }
    request_ = request;
    SetLocked(TInstallState::MessageRequested);
    changed_.wait(lock, [this] {
        const TInstallState state = state_.load();
        return state == TInstallState::MessageAnswered || state == TInstallState::Finished;
    });
    if (state_.load() == TInstallState::Finished) {
        return TMessageAnswer::Abort;
    }
    SetLocked(TInstallState::Installing);
    return answer_;
}

void TInstallThreadStatus::Finish(bool failed) {
    std::lock_guard lock(mutex_);
    const TInstallState state = state_.load();
    if (state != TInstallState::Finished && state != TInstallState::Failed) {
        SetLocked(failed ? TInstallState::Failed : TInstallState::Finished);
    }
    component_.store(NoComponent);
}

TInstallThread::TInstallThread(TAttachedFiles& files, TInstallLog& log, TInstallThreadStatus& status)
    : files_(files), log_(log), status_(status) {
    // Installing before the thread exists, so the timer never sees it idle.
    status_.Start();
    thread_ = std::thread([this] { Run(); });
}

TInstallThread::~TInstallThread() {
    if (thread_.joinable()) {
        status_.Cancel();
        thread_.join();
    }
}

void TInstallThread::Join() {
    if (thread_.joinable()) {
        thread_.join();
    }
}

bool TInstallThread::InstallQueue(int queue, int64_t& bytes) {
    TWorkerMessageBox ask(status_);
    status_.SetComponent(static_cast<uint8_t>(queue));
    for (const TFileToInstall& item : files_.Queue(queue)) {
        const int64_t base = bytes;
        TExtractHooks hooks;
        hooks.Progress = [this, base](int64_t written) { status_.SetBytesDone(base + written); };
        hooks.Continue = [this] { return status_.Checkpoint(); };
        if (!item.Logged) {
            log_.Suspend();
        }
        const TExtractOutcome outcome = ExtractFile(files_, item.Entry, item.Path, log_, ask, &hooks);
        if (!item.Logged) {
            log_.Resume();
        }
        if (outcome == TExtractOutcome::Aborted) {
            status_.Finish(true);
            return false;
        }
        if (outcome == TExtractOutcome::Cancelled) {
            status_.Finish(false);
            return false;
        }
        bytes = base + item.Entry.Size;
        status_.SetBytesDone(bytes);
        status_.FileDone();
        if (!status_.Checkpoint()) {
            status_.Finish(false);
            return false;
        }
    }
    return true;
}

void TInstallThread::Run() {
    // Nothing may leave the thread: any surprise ends the installation as
    // failed, which the wizard reports.
    try {
        int64_t bytes = 0;
        for (int queue = 0; queue < InstallQueueCount; ++queue) {
            if (!status_.Checkpoint() || !InstallQueue(queue, bytes)) {
                status_.Finish(false);
                return;
            }
        }
        status_.Finish(false);
    } catch (...) {
        status_.Finish(true);
    }
}

}  // namespace quillane
