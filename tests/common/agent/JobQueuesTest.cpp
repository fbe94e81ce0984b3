// Tests of the agent's install and update queues.
#include "common/agent/JobQueues.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

using common::JobKind;
using common::JobQueues;
using common::PackageJob;

PackageJob Job(int32_t index, const char16_t* name = u"pkg") {
    PackageJob job;
    job.packageIndex = index;
    job.packageName.Set(name);
    return job;
}

// Catches: updates taken before waiting installs, a job queued twice for one package (also across the two
// queues, and while it is being handled), and a removal that takes a job other than the one handled.
TEST(JobQueues, InstallsComeFirstAndAPackageIsQueuedOnce) {
    JobQueues queues;
    EXPECT_FALSE(queues.Next());
    EXPECT_TRUE(queues.Append(JobKind::Update, Job(7, u"update-7")));
    EXPECT_TRUE(queues.Append(JobKind::Install, Job(3, u"install-3")));
    EXPECT_TRUE(queues.Append(JobKind::Install, Job(4)));
    EXPECT_FALSE(queues.Append(JobKind::Install, Job(7))) << "7 waits in the update queue";
    EXPECT_FALSE(queues.Append(JobKind::Update, Job(3)));

    auto next = queues.Next();
    ASSERT_TRUE(next);
    EXPECT_EQ(next->kind, JobKind::Install);
    EXPECT_EQ(next->job.packageName.Get(), u"install-3");
    EXPECT_FALSE(queues.Append(JobKind::Install, Job(3))) << "the job being handled is still queued";
    EXPECT_FALSE(queues.RemoveHead(JobKind::Install, 4));
    EXPECT_FALSE(queues.RemoveHead(JobKind::Update, 3));
    EXPECT_TRUE(queues.RemoveHead(JobKind::Install, 3));
    EXPECT_TRUE(queues.Append(JobKind::Update, Job(3))) << "once done, the package may be queued again";

    EXPECT_EQ(queues.Next()->job.packageIndex, 4);
    EXPECT_TRUE(queues.RemoveHead(JobKind::Install, 4));
    next = queues.Next();
    ASSERT_TRUE(next);
    EXPECT_EQ(next->kind, JobKind::Update);
    EXPECT_EQ(next->job.packageName.Get(), u"update-7");
    EXPECT_EQ(queues.Count(JobKind::Update), 2u);
    EXPECT_EQ(queues.Count(JobKind::Install), 0u);
}

// Catches: queues changed by the UI thread while the worker reads them losing, repeating or reordering jobs
// (run under the sanitizers, an unlocked queue also fails here as a heap error).
TEST(JobQueues, AProducerAndTheWorkerShareThemSafely) {
    JobQueues queues;
    constexpr int kJobs = 2000;
    std::thread producer([&queues] {
        for (int i = 0; i < kJobs; ++i) {
            while (!queues.Append(i % 2 == 0 ? JobKind::Install : JobKind::Update, Job(i))) {
            }
        }
    });
    std::vector<int32_t> handledInstalls;
    std::vector<int32_t> handledUpdates;
    while (handledInstalls.size() + handledUpdates.size() < static_cast<size_t>(kJobs)) {
        auto next = queues.Next();
        if (!next) {
            std::this_thread::yield();
            continue;
        }
        ASSERT_TRUE(queues.RemoveHead(next->kind, next->job.packageIndex));
        (next->kind == JobKind::Install ? handledInstalls : handledUpdates).push_back(next->job.packageIndex);
    }
    producer.join();
    ASSERT_EQ(handledInstalls.size(), static_cast<size_t>(kJobs / 2));
    for (size_t i = 0; i < handledInstalls.size(); ++i) {
        EXPECT_EQ(handledInstalls[i], static_cast<int32_t>(2 * i));
        EXPECT_EQ(handledUpdates[i], static_cast<int32_t>(2 * i + 1));
    }
    EXPECT_FALSE(queues.Next());
}

}  // namespace
