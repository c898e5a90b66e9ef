#pragma once

// Ending the program at once (the login's and the chooser's exit buttons,
// the confirmed exit): the event loop stops and callers that run before it
// (the start procedure) see the request and stop too.
namespace program {

void endNow();
bool endRequested();
void clearEndRequest();  // tests

} // namespace program
