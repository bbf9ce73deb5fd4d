#pragma once

#include "swf/writer/movie_builder.h"

#include <string>

namespace course {

// The start screen's movie (352 x 288): sends "IrYEntrar" when "Entrar" is clicked.
swf::MovieBuilder startMovie();

// The closing movie: says goodbye and sends "SalirVB" when it has finished.
swf::MovieBuilder closingMovie();

// One of the six course modules built into the program, under its resource type name.
enum class Module { Index, Pinyin, Escrituras, FraseConv, Gramaticas, Anexos };
swf::MovieBuilder moduleMovie(Module module);

} // namespace course
