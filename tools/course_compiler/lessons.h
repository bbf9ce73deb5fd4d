#pragma once

#include "tools/course_compiler/course_kit.h"
#include "tools/course_compiler/movies.h"

#include <QString>

#include <utility>
#include <vector>

namespace course {

// One page of a module: a heading, lines of lesson text and buttons of its own.
struct Page {
    QString heading;
    std::vector<QString> lines;
    std::vector<ButtonSpec> buttons;
};

// What a module teaches and how it looks; module_movies.cpp turns it into a movie.
struct Lesson {
    QString hanzi;       // the module's name in characters, large in its header
    QString title;       // its name in Spanish
    Palette palette;
    double frameRate;
    // Commands sent as the movie starts, the way stand-alone players are told how to behave.
    std::vector<std::pair<const char*, const char*>> startCommands;
    std::vector<Page> pages;
    std::vector<ButtonSpec> navigation; // the bar at the bottom of every page
};

Lesson lessonFor(Module module);

} // namespace course
