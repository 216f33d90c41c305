// The worker on a real thread, with this test as the user-interface
// thread's timer: questions answered, a quit question that the user
// declines while a question waits, an abort while the worker waits, and
// pausing at checkpoints.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

#include "setup/InstallThread.h"
#include "setup/PayloadWriter.h"
#include "setup/PayloadBytes.h"
#include "support/Corpus.h"
#include "support/MemoryFile.h"

namespace quillane {
namespace {

using namespace std::chrono_literals;

class InstallThread : public testing::Test {
protected:
    // A payload of good files, with one whose stream is damaged when asked.
    void MakePayload(bool damaged) {
        test::TRawPayload raw;
        raw.Add("one.txt", "first");
        raw.Add("two.txt", std::string(70000, '2'));
        raw.Add("help.chm", "help");
        if (damaged) {
            raw.Sizes[1] += 1;  // declares a byte more than its stream gives
        }
        files_ = std::make_unique<TAttachedFiles>(std::make_unique<test::TMemoryFile>(raw.File()));
        folder_ = temp_.Path().string();
        files_->QueueFiles("one.txt", folder_, TOverwriteRule::Always, 0, true);
        files_->QueueFiles("two.txt", folder_, TOverwriteRule::Always, 0, true);
        files_->QueueFiles("help.chm", folder_, TOverwriteRule::Always, 1, false);
    }

    // The timer's loop: polls until the worker ends or a question waits.
    TInstallState PollUntil(bool stopAtQuestion) {
        const auto deadline = std::chrono::steady_clock::now() + 20s;
        while (std::chrono::steady_clock::now() < deadline) {
            const TInstallState state = status_.State();
            if (state == TInstallState::Finished || state == TInstallState::Failed ||
                (stopAtQuestion && state == TInstallState::MessageRequested)) {
                return state;
            }
            std::this_thread::sleep_for(1ms);
        }
        ADD_FAILURE() << "the worker hangs";
        return status_.State();
    }

    bool Installed(const char* name) const { return std::filesystem::exists(temp_.Path() / name); }

    test::TTempFolder temp_;
    std::string folder_;
    std::unique_ptr<TAttachedFiles> files_;
    TInstallLog log_;
    TInstallThreadStatus status_;
};

TEST_F(InstallThread, InstallsBothQueuesAndLogsOnlyLoggedFiles) {
    MakePayload(false);
    TInstallThread worker(*files_, log_, status_);
    EXPECT_EQ(TInstallState::Finished, PollUntil(false));
    worker.Join();
    EXPECT_TRUE(Installed("one.txt") && Installed("two.txt") && Installed("help.chm"));
    EXPECT_EQ(3, status_.FilesDone());
    EXPECT_EQ(5 + 70000 + 4, status_.BytesDone());
    EXPECT_EQ(NoComponent, status_.Component());
    const char sep = PathSeparator();
    EXPECT_EQ((std::vector<std::string>{"File Copy: " + folder_ + sep + "one.txt",
                                        "File Copy: " + folder_ + sep + "two.txt"}),
              log_.Lines());
}

TEST_F(InstallThread, QuestionGoesToThePollingThreadAndIgnoreGoesOn) {
    MakePayload(true);
    TInstallThread worker(*files_, log_, status_);
    ASSERT_EQ(TInstallState::MessageRequested, PollUntil(true));
    const auto request = status_.TakeRequest();
    ASSERT_TRUE(request);
    EXPECT_EQ(TInstallState::Paused, status_.State());
    EXPECT_NE(std::string::npos, request->Text.find("two.txt"));
    EXPECT_EQ(TMessageButtons::AbortRetryIgnore, request->Buttons);
    status_.Answer(TMessageAnswer::Ignore);
    EXPECT_EQ(TInstallState::Finished, PollUntil(false));
    worker.Join();
    EXPECT_TRUE(Installed("one.txt") && !Installed("two.txt") && Installed("help.chm"));
}

TEST_F(InstallThread, DecliningToQuitKeepsAWaitingQuestion) {
    MakePayload(true);
    TInstallThread worker(*files_, log_, status_);
    ASSERT_EQ(TInstallState::MessageRequested, PollUntil(true));
    // The user presses Cancel before the timer sees the question, then No.
    const TInstallState saved = status_.BeginClose();
    EXPECT_EQ(TInstallState::Paused, status_.State());
    EXPECT_FALSE(status_.TakeRequest());
    status_.EndClose(saved);
    ASSERT_EQ(TInstallState::MessageRequested, status_.State());
    ASSERT_TRUE(status_.TakeRequest());
    status_.Answer(TMessageAnswer::Abort);
    EXPECT_EQ(TInstallState::Failed, PollUntil(false));
    worker.Join();
    EXPECT_FALSE(Installed("help.chm"));  // queue 1 never started
}

TEST_F(InstallThread, QuittingWhileTheWorkerWaitsEndsIt) {
    MakePayload(true);
    TInstallThread worker(*files_, log_, status_);
    ASSERT_EQ(TInstallState::MessageRequested, PollUntil(true));
    status_.BeginClose();
    status_.Cancel();  // "Abort" in the quit question
    worker.Join();     // returns: no wait outlives the cancellation
    EXPECT_EQ(TInstallState::Finished, status_.State());
    EXPECT_FALSE(Installed("two.txt") || Installed("help.chm"));
    status_.Answer(TMessageAnswer::Retry);  // a late answer changes nothing
    EXPECT_EQ(TInstallState::Finished, status_.State());
}

TEST_F(InstallThread, DestroyingTheWorkerCancelsAndJoins) {
    MakePayload(true);
    {
        TInstallThread worker(*files_, log_, status_);
        ASSERT_EQ(TInstallState::MessageRequested, PollUntil(true));
    }
    EXPECT_EQ(TInstallState::Finished, status_.State());
}

TEST(InstallThreadStatus, CheckpointsWaitWhilePausedAndEndOnCancel) {
    for (const bool cancel : {false, true}) {
        SCOPED_TRACE(cancel);
        TInstallThreadStatus status;
        status.Start();
        const TInstallState saved = status.BeginClose();
        EXPECT_EQ(TInstallState::Installing, saved);
        std::atomic<int> result{-1};
        std::thread worker([&] { result = status.Checkpoint() ? 1 : 0; });
        std::this_thread::sleep_for(50ms);
        EXPECT_EQ(-1, result.load());  // still paused
        if (cancel) {
            status.Cancel();
        } else {
            status.EndClose(saved);
        }
        worker.join();
        EXPECT_EQ(cancel ? 0 : 1, result.load());
        EXPECT_EQ(cancel ? TInstallState::Finished : TInstallState::Installing, status.State());
    }
}

TEST(InstallThreadStatus, CloseBeforeOrAfterTheWorkerChangesNothing) {
    TInstallThreadStatus status;
    EXPECT_EQ(TInstallState::Idle, status.BeginClose());
    EXPECT_EQ(TInstallState::Idle, status.State());
    status.Start();
    status.Finish(true);
    EXPECT_EQ(TInstallState::Failed, status.BeginClose());
    status.Cancel();
    EXPECT_EQ(TInstallState::Failed, status.State());  // a failure stays reported
}

}  // namespace
}  // namespace quillane
