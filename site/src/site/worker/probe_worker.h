#pragma once
// The worker process's side (klipfang-site --probe-worker): reads video files with FFmpeg for the
// site that started it.
namespace kf::site::worker {

// Answers requests on standard input until it closes. Returns the exit status.
int runWorker();

}  // namespace kf::site::worker
