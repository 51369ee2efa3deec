// The visible state of the main window as plain data.
#include "puzzle/board_model.h"

namespace horokata {

BoardModel::BoardModel()
{
    for (int k = 0; k < kIdioms; ++k)
        lblGO[static_cast<std::size_t>(k)].Caption = lineNumber(k);
    lblGOKU = QStringLiteral("準備中！");
}

void showLampsAfterMisses(std::array<Lamp, kLamps> &lamps, int misses)
{
    for (Lamp &lamp : lamps) {
        lamp.Visible = true;
        lamp.BackColor = kLampGreen;
    }
    if (misses >= 1) {
        lamps[2].Visible = false;
        lamps[0].BackColor = kLampYellow;
        lamps[1].BackColor = kLampYellow;
    }
    if (misses >= 2) {
        lamps[1].Visible = false;
        lamps[0].BackColor = kLampRed;
    }
    if (misses >= 3)
        lamps[0].Visible = false;
}

QString lineNumber(int line)
{
    return QStringLiteral("%1").arg(line + 1, 2, 10, QLatin1Char('0')) + QStringLiteral("：");
}

Rgb gradientBand(int scheme, int band)
{
    const int v = band + 62;
    switch (scheme) {
    case 1: return RGB(v, 0, 0);
    case 2: return RGB(0, v, 0);
    case 3: return RGB(v, 0, v);
    case 4: return RGB(v, v, 0);
    case 5: return RGB(0, v, v);
    case 6: return RGB(v, v, v);
    default: return RGB(0, 0, v);
    }
}

} // namespace horokata
