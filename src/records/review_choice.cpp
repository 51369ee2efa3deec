// Choosing a review board's twenty idioms from the notebook.
#include "records/review_choice.h"

#include <QSet>
#include <algorithm>

namespace horokata {

namespace {

QString sortedChars(QString s)
{
    std::sort(s.begin(), s.end());
    return s;
}

} // namespace

bool isDue(const NotebookRecord &r, QDate today)
{
    return r.card.isNew() || !r.card.due.isValid() || r.card.due <= today;
}

int dueCount(const std::vector<NotebookRecord> &notebook, QDate today)
{
    return int(std::count_if(notebook.begin(), notebook.end(), [&](const NotebookRecord &r) { return isDue(r, today); }));
}

ReviewChoice chooseReview(const std::vector<NotebookRecord> &notebook, QDate today)
{
    ReviewChoice out;
    std::vector<const NotebookRecord *> order;
    order.reserve(notebook.size());
    for (const NotebookRecord &r : notebook)
        order.push_back(&r);
    // Due ones first (missed last time, then by due day), then the rest by the last meeting;
    // the idiom itself breaks ties, so that the same notebook always deals the same idioms.
    const auto key = [&](const NotebookRecord *r) {
        const bool due = isDue(*r, today);
        const qint64 dueDay = r->card.due.isValid() ? r->card.due.toJulianDay() : 0;
        return std::make_tuple(due ? 0 : 1, due && !r->lastFound ? 0 : 1, due ? dueDay : 0, r->lastMetMs);
    };
    std::sort(order.begin(), order.end(), [&](const NotebookRecord *a, const NotebookRecord *b) {
        const auto ka = key(a), kb = key(b);
        return ka != kb ? ka < kb : a->idiom < b->idiom;
    });
    out.dueToday = dueCount(notebook, today);
    QSet<QString> taken;
    for (const NotebookRecord *r : order) {
        const QString chars = sortedChars(r->idiom);
        if (taken.contains(chars))
            continue;
        taken.insert(chars);
        out.idioms.push_back(r->idiom);
        if (int(out.idioms.size()) == kIdioms)
            break;
    }
    if (int(out.idioms.size()) < kIdioms) {
        out.moreNeeded = kIdioms - int(out.idioms.size());
        out.idioms.clear();
    }
    return out;
}

} // namespace horokata
