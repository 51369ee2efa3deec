// Review boards: a board dealt from idioms the player met, on the level in play, whose list
// stays for the boards after it.
#include "puzzle/game.h"

#include "idioms/idiom_list_reader.h"
#include "idioms/levels.h"
#include "puzzle/game_shared.h"

#include <utility>

namespace horokata {

namespace {

// Every idiom of the level lists that read: on a review board, a pick that spells one of them
// with a hidden idiom's characters is that idiom, whichever level listed it.
QSet<QString> readableListIdioms(const QString &folder)
{
    QSet<QString> all;
    for (int level = 0; level < kLevelCount; ++level) {
        const std::optional<ParsedIdiomList> list = readIdiomListFile(folder + QString::fromUtf8(levelAt(level).fileName));
        if (!list)
            continue;
        for (std::size_t n = 1; n < list->entries.size(); ++n)
            all.insert(QString(list->entries[n]));
    }
    return all;
}

// Puts a list in place of the level's for one deal, and the level's back however the deal ends
// (the flow may be dropped with the window).
class ListLent {
public:
    ListLent(std::vector<Idiom> &list, std::int16_t &count, std::vector<Idiom> lent)
        : list_(list), count_(count), saved_(std::move(lent)), savedCount_(static_cast<std::int16_t>(saved_.size() - 1))
    {
        std::swap(list_, saved_);
        std::swap(count_, savedCount_);
    }
    ~ListLent()
    {
        std::swap(list_, saved_);
        std::swap(count_, savedCount_);
    }
    ListLent(const ListLent &) = delete;
    ListLent &operator=(const ListLent &) = delete;

private:
    std::vector<Idiom> &list_;
    std::int16_t &count_;
    std::vector<Idiom> saved_;
    std::int16_t savedCount_;
};

} // namespace

void Game::enterReview(bool on)
{
    review_ = on;
    if (!on)
        respell_.clear();
    else if (respell_.isEmpty())
        respell_ = readableListIdioms(g_.programFolder());
}

FlowTask<> Game::dealReview(std::vector<QString> idioms)
{
    if (!blnREAD || idioms.size() < std::size_t(kIdioms) || idioms.size() > std::size_t(INT16_MAX - 1))
        co_return;
    std::vector<Idiom> list{Idiom()};
    for (const QString &idiom : idioms) {
        if (idiom.size() != Idiom::kLength)
            co_return;
        list.emplace_back(QStringView(idiom));
    }
    intCLEAR = 0;
    intOVER = 0;
    if (anyIdiomShown() && blnPLAY) {
        const bool discard = co_await ask(DialogMode::DiscardBoard);
        if (!discard)
            co_return;
    }
    leaveBoard(BoardLeaving::NewBoard);
    blnPLAY = false;
    co_await beginBusyFlow();
    SET_GRADE();
    enterReview(true);
    {
        const ListLent lent(strLIST, intMAX, std::move(list));
        co_await dealBoard();
    }
    co_await endBusyFlow();
}

} // namespace horokata
