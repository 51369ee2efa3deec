// Review boards from the main window: the Ctrl+R action and the start of a review board.
#pragma once

namespace horokata {

class MainWindow;

// Ctrl+R on the main window: a review board (once per press, never while held).
void addReviewAction(MainWindow &window);

} // namespace horokata
