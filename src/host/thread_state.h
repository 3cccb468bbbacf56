#pragma once

namespace talu::host {

/// Frees what the libraries keep for the calling thread (SDL's error text). SDL frees it only for
/// threads it started itself, so every thread of ours that may have decoded a picture or sound
/// calls this as it ends.
void ReleaseThreadState();

}  // namespace talu::host
