// The memory budget of a run: workers admit entries in list order while
// the bytes in flight stay within it, an entry larger than the whole
// budget runs alone, and the bytes come free as entries are committed.
#include <gtest/gtest.h>

#include <QMap>
#include <chrono>
#include <thread>

#include "convert/prepare_queue.h"
#include "imaging/codecs/png_encoder.h"
#include "support/picture_files.h"
#include "support/qt_printers.h"
#include "support/sandbox.h"

namespace quillmere {
namespace {

using namespace std::chrono_literals;

constexpr std::uint64_t kMiB = std::uint64_t{1} << 20;

struct BudgetCase {
    const char* name;
    std::uint64_t budget;
    std::vector<std::uint64_t> costs;
    int workers;
};

void PrintTo(const BudgetCase& c, std::ostream* out) {
    *out << c.name;
}

class BudgetTest : public ::testing::TestWithParam<BudgetCase> {};

// Waits (a few seconds at most) until `holds` is true.
template <typename Condition>
bool eventually(Condition holds) {
    const auto end = std::chrono::steady_clock::now() + 5s;
    while (!holds()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

TEST_P(BudgetTest, AdmitsEntriesWhileTheBytesInFlightFit) {
    const BudgetCase& c = GetParam();
    const test::Sandbox sandbox;
    BatchPlan plan;
    plan.formatItem = "BMP";
    QMap<QString, std::uint64_t> costOf;
    for (std::size_t i = 0; i < c.costs.size(); ++i) {
        plan.sources << sandbox.write(QStringLiteral("e%1.png").arg(i),
                                      encodePng(test::photoLike(4, 3, static_cast<unsigned>(i))));
        costOf[plan.sources.last()] = c.costs[i];
    }
    PrepareQueue queue(plan, c.workers, c.budget, 0,
                       [&](const QString& source, const QString&) { return costOf[source]; });

    for (int index = 0; index < queue.size(); ++index) {
        PreparedOutcome outcome;
        ASSERT_EQ(queue.take(index, outcome), PrepareQueue::Taken::Ready);
        EXPECT_FALSE(outcome.loadError);
        // What the workers may admit beside this entry: the entries after
        // it, in list order, for as long as they fit, and beyond one a
        // worker only while they are small together. Let them get there.
        std::uint64_t expected = 0;
        for (int next = index; next < queue.size(); ++next) {
            const std::uint64_t cost = c.costs[static_cast<std::size_t>(next)];
            if (next - index > c.workers) break;
            if (expected != 0 && expected + cost > c.budget) break;
            if (next - index >= c.workers && expected + cost >= PrepareQueue::kAheadBytes) break;
            expected += cost;
        }
        EXPECT_TRUE(eventually([&] { return queue.bytesInFlight() == expected; }))
            << "entry " << index << ": " << queue.bytesInFlight() << " in flight, " << expected
            << " expected";
        std::this_thread::sleep_for(5ms);
        EXPECT_EQ(queue.bytesInFlight(), expected) << "entry " << index;
        queue.markCommitted(index);
    }
    EXPECT_EQ(queue.bytesInFlight(), 0u);
    std::uint64_t largest = 0;
    for (const std::uint64_t cost : c.costs) largest = std::max(largest, cost);
    EXPECT_LE(queue.mostBytesInFlight(), std::max(c.budget, largest));
}

INSTANTIATE_TEST_SUITE_P(
    Budgets, BudgetTest,
    ::testing::Values(BudgetCase{"TwoFitAtOnce", 100, {40, 40, 40, 40, 40}, 3},
                      BudgetCase{"OneLargerThanTheBudgetRunsAlone", 100, {40, 40, 150, 40, 40}, 3},
                      BudgetCase{"TheLargestFirst", 100, {150, 40, 60, 30, 90}, 2},
                      BudgetCase{"WorkersBoundItFirst", 1000, {10, 10, 10, 10, 10, 10}, 2},
                      BudgetCase{"EveryEntryAlone", 10, {20, 30, 40}, 3},
                      BudgetCase{"LargeOnesTakeAWorkerEach",
                                 1000 * kMiB,
                                 {100 * kMiB, 100 * kMiB, 100 * kMiB, 100 * kMiB, 100 * kMiB},
                                 2},
                      BudgetCase{"SmallOnesFillTheWorkers",
                                 1000 * kMiB,
                                 {10 * kMiB, 10 * kMiB, 10 * kMiB, 10 * kMiB},
                                 3}),
    [](const ::testing::TestParamInfo<BudgetCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quillmere
