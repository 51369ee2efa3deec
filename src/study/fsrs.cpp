// FSRS-5 from its published formulas: forgetting curve, initial memory, difficulty with
// linear damping and mean reversion, stability after recall, after a lapse and on the same day.
#include "study/fsrs.h"

#include <algorithm>
#include <cmath>

namespace horokata::fsrs {

namespace {

// The forgetting curve R(t, S) = (1 + FACTOR · t / S)^DECAY, with FACTOR chosen so that
// R(S, S) = 0.9.
constexpr double kDecay = -0.5;
const double kFactor = std::pow(0.9, 1.0 / kDecay) - 1.0; // 19/81
constexpr double kMinStability = 0.01;
constexpr double kMinDifficulty = 1.0;
constexpr double kMaxDifficulty = 10.0;
// Meetings replayed when a card is started from counts; more add nothing but time.
constexpr int kMaxReplayed = 64;

double clampDifficulty(double d)
{
    return std::clamp(d, kMinDifficulty, kMaxDifficulty);
}

int grade(Rating r)
{
    return static_cast<int>(r);
}

} // namespace

Scheduler::Scheduler(const Weights &w, double desiredRetention, int maximumInterval)
    : w_(w), desiredRetention_(std::clamp(desiredRetention, 0.7, 0.99)), maximumInterval_(std::max(1, maximumInterval))
{
}

double Scheduler::retrievability(double elapsedDays, double stability)
{
    if (stability <= 0)
        return 0;
    return std::pow(1.0 + kFactor * std::max(0.0, elapsedDays) / stability, kDecay);
}

int Scheduler::interval(double stability) const
{
    const double days = stability / kFactor * (std::pow(desiredRetention_, 1.0 / kDecay) - 1.0);
    return std::clamp(static_cast<int>(std::lround(days)), 1, maximumInterval_);
}

double Scheduler::initialStability(Rating rating) const
{
    return std::max(w_[std::size_t(grade(rating) - 1)], kMinStability);
}

// D0(G) = w4 − e^(w5·(G−1)) + 1, left unclamped for the mean reversion target.
double Scheduler::initialDifficulty(Rating rating) const
{
    return w_[4] - std::exp(w_[5] * (grade(rating) - 1)) + 1.0;
}

double Scheduler::nextDifficulty(double difficulty, Rating rating) const
{
    const double delta = -w_[6] * (grade(rating) - 3);
    const double damped = difficulty + delta * (10.0 - difficulty) / 9.0;
    return clampDifficulty(w_[7] * initialDifficulty(Rating::Easy) + (1.0 - w_[7]) * damped);
}

double Scheduler::recallStability(const MemoryState &m, double r, Rating rating) const
{
    const double hardPenalty = rating == Rating::Hard ? w_[15] : 1.0;
    const double easyBonus = rating == Rating::Easy ? w_[16] : 1.0;
    return m.stability * (1.0 + std::exp(w_[8]) * (11.0 - m.difficulty) * std::pow(m.stability, -w_[9])
                                    * (std::exp(w_[10] * (1.0 - r)) - 1.0) * hardPenalty * easyBonus);
}

double Scheduler::forgetStability(const MemoryState &m, double r) const
{
    const double lapse = w_[11] * std::pow(m.difficulty, -w_[12]) * (std::pow(m.stability + 1.0, w_[13]) - 1.0)
                         * std::exp(w_[14] * (1.0 - r));
    // Never above what a same-day lapse would leave.
    return std::min(lapse, m.stability / std::exp(w_[17] * w_[18]));
}

double Scheduler::shortTermStability(double stability, Rating rating) const
{
    return stability * std::exp(w_[17] * (grade(rating) - 3 + w_[18]));
}

MemoryState Scheduler::nextMemory(const Card &card, Rating rating, int elapsedDays) const
{
    if (card.isNew() || card.memory.stability <= 0)
        return {initialStability(rating), clampDifficulty(initialDifficulty(rating))};
    const MemoryState &m = card.memory;
    double s;
    if (elapsedDays <= 0)
        s = shortTermStability(m.stability, rating);
    else if (rating == Rating::Again)
        s = forgetStability(m, retrievability(elapsedDays, m.stability));
    else
        s = recallStability(m, retrievability(elapsedDays, m.stability), rating);
    return {std::clamp(s, kMinStability, double(kMaximumInterval)), nextDifficulty(m.difficulty, rating)};
}

Card Scheduler::review(const Card &card, Rating rating, QDate today) const
{
    const int elapsed = card.isNew() || !card.lastReview.isValid() ? 0 : int(std::max<qint64>(0, card.lastReview.daysTo(today)));
    // The four outcomes' intervals kept in order: a harder rating never waits longer.
    std::array<int, 4> days{};
    for (Rating r : {Rating::Again, Rating::Hard, Rating::Good, Rating::Easy})
        days[std::size_t(grade(r) - 1)] = interval(nextMemory(card, r, elapsed).stability);
    days[0] = std::min(days[0], days[1]);
    days[1] = std::max(days[1], days[0] + 1);
    days[2] = std::max(days[2], days[1] + 1);
    days[3] = std::max(days[3], days[2] + 1);

    Card next = card;
    next.memory = nextMemory(card, rating, elapsed);
    next.lapses += rating == Rating::Again && !card.isNew() ? 1 : 0;
    next.reps += 1;
    next.lastReview = today;
    next.due = today.addDays(days[std::size_t(grade(rating) - 1)]);
    return next;
}

Card Scheduler::fromHistory(int found, int missed, bool lastFound, QDate first, QDate last) const
{
    found = std::max(0, found);
    missed = std::max(0, missed);
    if (found + missed == 0 || !last.isValid())
        return {};
    if (!first.isValid() || first > last)
        first = last;
    // The last meeting is known; the others are replayed misses first, then finds, for the
    // usual course of learning an idiom.
    const bool lastIsFind = lastFound ? found > 0 : missed == 0;
    int earlierFound = found - (lastIsFind ? 1 : 0);
    int earlierMissed = missed - (lastIsFind ? 0 : 1);
    const int earlier = std::min(earlierFound + earlierMissed, kMaxReplayed - 1);
    if (earlierFound + earlierMissed > earlier) { // keep the share of misses
        earlierMissed = int(std::lround(double(earlierMissed) * earlier / (earlierFound + earlierMissed)));
        earlierFound = earlier - earlierMissed;
    }
    const qint64 span = first.daysTo(last);
    Card card;
    for (int i = 0; i < earlier; ++i) {
        const QDate day = first.addDays(earlier > 1 ? span * i / earlier : 0);
        card = review(card, i < earlierMissed ? Rating::Again : Rating::Good, day);
    }
    return review(card, lastIsFind ? Rating::Good : Rating::Again, last);
}

} // namespace horokata::fsrs
