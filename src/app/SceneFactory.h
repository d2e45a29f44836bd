#pragma once

#include <QString>

namespace corvane {

class WindowController;

// Builds a window from one of Corvane's scenes by its identifier: "Document Window Controller" (the
// editor), "ScratchpadWindow" and "Help Window". Each window carries the shared menu bar and is
// hidden until shown; the caller owns it. An unknown identifier yields nullptr.
WindowController *instantiateScene(const QString &identifier);

// Lets documents build their editor window from the "Document Window Controller" scene. The document
// controller does it when it is made; anything that makes documents without one calls it first.
void registerDocumentScene();

} // namespace corvane
