// The four levels: file, name, title-bar label and tile colours.
#pragma once

#include "platform/colors.h"

#include <QString>

namespace horokata {

struct Level {
    const char *fileName; // in the program folder
    const char *name;     // shown in file messages
    const char *label;    // title-bar label
    Rgb tileBack;
    Rgb tileFore;
};

constexpr int kLevelCount = 4;
constexpr int kStartLevel = 0; // the beginner level, whose list is read at start-up
const Level &levelAt(int index); // index 0..3

// The level's list file as the messages name it ("初級"), or "" for any other index.
QString levelFileName(int index);

} // namespace horokata
