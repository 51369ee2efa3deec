// Window titles shown exactly as the game words them.
#pragma once

#include <QString>

namespace horokata {

// The platform follows every window title with the program's display name unless the title
// ends with it already ("ファイル選択 — ホロカタ"). While one of these lives, titles given or
// windows shown keep their words alone: the minimised caption and the message boxes.
class ExactWindowTitles {
public:
    ExactWindowTitles();
    ~ExactWindowTitles();
    ExactWindowTitles(const ExactWindowTitles &) = delete;
    ExactWindowTitles &operator=(const ExactWindowTitles &) = delete;

private:
    QString displayName_;
};

} // namespace horokata
