// The review schedule against the reference values published in the tests of the open FSRS
// implementations (ts-fsrs, long-term scheduler), and the start of a card from old counts.
#include "study/fsrs.h"

#include <gtest/gtest.h>

using namespace horokata::fsrs;

namespace {

// The weights those reference runs use.
constexpr Weights kReferenceWeights = {0.4197, 1.1869, 3.0412, 15.2441, 7.1434, 0.6477, 1.0007, 0.0674, 1.6597, 0.1712,
                                       1.1178, 2.0225, 0.0904, 0.3025,  2.1214, 0.2498, 2.9466, 0.4891, 0.6468};

struct Expected {
    int days;
    double stability, difficulty;
};

// Reviews a new card with `ratings`, each on the day the previous one made it due.
void expectRun(std::initializer_list<Rating> ratings, std::initializer_list<Expected> expected)
{
    const Scheduler scheduler(kReferenceWeights);
    Card card;
    QDate today(2022, 12, 29);
    auto want = expected.begin();
    int step = 0;
    for (Rating rating : ratings) {
        card = scheduler.review(card, rating, today);
        EXPECT_EQ(card.lastReview.daysTo(card.due), want->days) << "review " << step;
        // The reference rounds to 8 decimals at each step.
        EXPECT_NEAR(card.memory.stability, want->stability, 1e-7 * want->stability + 1e-6) << "review " << step;
        EXPECT_NEAR(card.memory.difficulty, want->difficulty, 1e-5) << "review " << step;
        today = card.due;
        ++want;
        ++step;
    }
}

TEST(FsrsTest, MatchesTheReferenceRuns)
{
    using enum Rating;
    expectRun({Good, Good, Good, Good, Good, Good, Again, Again, Good, Good, Good, Good, Good},
              {{3, 3.0412, 4.49094334},       {13, 13.09130698, 4.26664289},  {48, 48.15848988, 4.05746029},
               {155, 154.93732625, 3.86237659}, {445, 445.05562739, 3.68044154}, {1158, 1158.07779739, 3.51076891},
               {17, 16.63063166, 4.69833071},  {3, 3.01732209, 5.55956298},    {11, 11.42247264, 5.26323756},
               {37, 37.37521902, 4.98688448},  {112, 111.8752758, 4.72915759}, {307, 306.5974569, 4.4888015},
               {773, 772.94026648, 4.26464541}});
    expectRun({Again, Hard, Good, Easy, Again, Hard, Good, Easy},
              {{1, 0.4197, 7.1434}, {2, 1.0344317, 7.03653841}, {6, 5.5356759, 6.64066485},
               {41, 41.0033667, 5.92312772}, {4, 4.46605519, 6.44779861}, {7, 6.67743292, 6.45995078},
               {21, 20.88868155, 6.10293922}, {133, 132.81849454, 5.36588547}});
    expectRun({Easy, Again, Hard, Good, Easy, Again, Hard, Good},
              {{15, 15.2441, 1.16304343}, {3, 3.25621013, 2.99573557}, {6, 6.32684549, 3.59851762},
               {27, 26.56339029, 3.43436666}, {240, 239.70462771, 2.60045771}, {10, 9.75621519, 4.03816348},
               {17, 17.06035531, 4.46259158}, {60, 59.59547542, 4.24020203}});
}

TEST(FsrsTest, DefaultWeightsFirstReviewAndSameDay)
{
    const Scheduler scheduler;
    const double stability[] = {0.40255, 1.18385, 3.173, 15.69105};
    const double difficulty[] = {7.1949, 6.48830527, 5.28243442, 3.22450159};
    for (Rating r : {Rating::Again, Rating::Hard, Rating::Good, Rating::Easy}) {
        const MemoryState m = scheduler.nextMemory(Card{}, r, 0);
        EXPECT_NEAR(m.stability, stability[int(r) - 1], 1e-6);
        EXPECT_NEAR(m.difficulty, difficulty[int(r) - 1], 1e-4);
    }
    EXPECT_NEAR(Scheduler::retrievability(10, 10), kDesiredRetention, 1e-9);
    // Met again the same day: S · e^(w17·(G − 3 + w18)).
    const Card first = scheduler.review(Card{}, Rating::Good, QDate(2026, 1, 1));
    const Card again = scheduler.review(first, Rating::Good, QDate(2026, 1, 1));
    EXPECT_NEAR(again.memory.stability, 3.173 * std::exp(0.51655 * 0.6621), 1e-9);
    EXPECT_EQ(again.reps, 2);
}

TEST(FsrsTest, StartsACardFromTheNotebookCounts)
{
    const Scheduler scheduler;
    const QDate first(2026, 1, 1), last(2026, 3, 1);
    const Card learnt = scheduler.fromHistory(6, 1, true, first, last);
    const Card missed = scheduler.fromHistory(0, 3, false, first, last);
    const Card once = scheduler.fromHistory(1, 0, true, last, last);
    EXPECT_EQ(learnt.reps, 7);
    EXPECT_EQ(learnt.lastReview, last);
    EXPECT_GT(learnt.memory.stability, once.memory.stability);
    EXPECT_GT(once.memory.stability, missed.memory.stability);
    EXPECT_GT(missed.memory.difficulty, learnt.memory.difficulty);
    EXPECT_LT(missed.due, once.due);
    EXPECT_LT(once.due, learnt.due);
    // A thousand finds cost no more than a few dozen replayed reviews.
    EXPECT_LE(scheduler.fromHistory(1000, 0, true, first, last).reps, 64);
    EXPECT_TRUE(scheduler.fromHistory(0, 0, true, first, last).isNew());
}

} // namespace
