// Which idioms a review board deals: the notebook's most due, missed ones first.
#pragma once

#include "records/records_store.h"

#include <QDate>
#include <QString>
#include <vector>

namespace horokata {

// What the notebook offers for review on a day.
struct ReviewChoice {
    // The twenty idioms to deal, most due first; empty when too few idioms were met.
    std::vector<QString> idioms;
    int dueToday = 0;   // idioms due on or before the day
    int moreNeeded = 0; // distinct idioms still to meet before a review board can be dealt
};

// The idiom's review is due on or before `today` (a card never scheduled is due).
bool isDue(const NotebookRecord &r, QDate today);
// The idioms due on or before `today`.
int dueCount(const std::vector<NotebookRecord> &notebook, QDate today);

// Chooses a review board: the due idioms whose last meeting was a miss first, then the other
// due ones, each by due date (the earliest first); with fewer than twenty due, the idioms met
// longest ago fill the board. Idioms of the same characters (one idiom spelled two ways)
// count once. Fewer than twenty distinct idioms: nothing, and how many more are needed.
ReviewChoice chooseReview(const std::vector<NotebookRecord> &notebook, QDate today);

} // namespace horokata
