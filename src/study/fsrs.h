// The review schedule: FSRS-5, the spaced-repetition model Anki uses, with its published
// default parameters, reckoned in whole days.
#pragma once

#include <QDate>
#include <array>
#include <cstdint>

namespace horokata::fsrs {

// How well the player recalled the idiom when it was met.
enum class Rating {
    Again = 1, // not recalled: revealed after a lost board
    Hard = 2,  // recalled with help: found after a hint on it
    Good = 3,  // recalled: found
    Easy = 4,
};

constexpr int kWeightCount = 19;
using Weights = std::array<double, kWeightCount>;
// FSRS-5's default weights, as Anki and the reference implementations ship them.
constexpr Weights kDefaultWeights = {0.40255, 1.18385, 3.173,   15.69105, 7.1949, 0.5345, 1.4604,
                                     0.0046,  1.54575, 0.1192,  1.01925,  1.9395, 0.11,   0.29605,
                                     2.2698,  0.2315,  2.9898,  0.51655,  0.6621};
// The share of reviews the schedule aims to see recalled.
constexpr double kDesiredRetention = 0.9;
// The longest interval, in days (a hundred years, as Anki's default).
constexpr int kMaximumInterval = 36500;

// What the model knows of one idiom.
struct MemoryState {
    double stability = 0;  // days until recall falls to 90 %
    double difficulty = 0; // 1 (easy) .. 10 (hard)
};

// One idiom's card: its memory and when it was last reviewed and is next due. A card never
// reviewed has no memory (stability 0).
struct Card {
    MemoryState memory;
    QDate lastReview; // null for a new card
    QDate due;        // null for a new card
    int reps = 0;     // reviews so far
    int lapses = 0;   // Again ratings after the first review
    bool isNew() const { return reps == 0; }
};

class Scheduler {
public:
    explicit Scheduler(const Weights &w = kDefaultWeights, double desiredRetention = kDesiredRetention,
                       int maximumInterval = kMaximumInterval);

    // The card after a review on `today` with `rating`. A review on the day of the last one
    // (elapsed 0) uses the same-day stability formula.
    Card review(const Card &card, Rating rating, QDate today) const;
    // The memory after a review `elapsedDays` after the last one (none for a new card).
    MemoryState nextMemory(const Card &card, Rating rating, int elapsedDays) const;
    // The chance of recall `elapsedDays` after a review that left `stability`.
    static double retrievability(double elapsedDays, double stability);
    // Days to wait after a review that left `stability`, for the desired retention (at least 1).
    int interval(double stability) const;

    // A card started from what the notebook already knew before the schedule: `found` and
    // `missed` meetings between the first and the last date, the last one a find or a miss.
    // The meetings are replayed misses first, spread evenly over the time between.
    Card fromHistory(int found, int missed, bool lastFound, QDate first, QDate last) const;

private:
    double initialStability(Rating rating) const;
    double initialDifficulty(Rating rating) const;
    double nextDifficulty(double difficulty, Rating rating) const;
    double recallStability(const MemoryState &m, double r, Rating rating) const;
    double forgetStability(const MemoryState &m, double r) const;
    double shortTermStability(double stability, Rating rating) const;

    Weights w_;
    double desiredRetention_;
    int maximumInterval_;
};

} // namespace horokata::fsrs
