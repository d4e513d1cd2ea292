// The terminal seam: whether the program's standard streams are attached to
// a terminal, so that a console front end knows whether it may prompt,
// page or redraw a status line. Thread rule: any thread; nothing is kept.

#pragma once

namespace converte::platform {

enum class StandardStream { Input, Output, Error };

// True when the stream is a terminal (an interactive console).
bool isTerminal(StandardStream stream);

}  // namespace converte::platform
