#pragma once
// What the download tests need around the programs they start: little scripts that record how they
// were started, a way to run a program and wait for it, and a bounded wait for what a detached
// program leaves behind.
#include <functional>
#include <string>
#include <vector>

namespace kf::test {

// Writes an executable /bin/sh script with this body.
void writeScript(const std::string &path, const std::string &body);

// A script that writes its show mode variable and its arguments, one per line, to `record` (made
// whole at once, so a reader never sees half of it).
void writeRecordingScript(const std::string &path, const std::string &record);

// Runs `program` with one argument and our environment plus `environment` ("NAME=value" entries
// replace ours), waits for it and answers its exit status (-1 when it did not end normally).
int runProgram(const std::string &program, const std::string &argument, const std::vector<std::string> &environment);

// Polls until `condition` holds, for at most a minute; answers whether it came to hold.
bool eventually(const std::function<bool()> &condition);

// The names of the files in `folder`, sorted.
std::vector<std::string> filesIn(const std::string &folder);

// A port on the loopback where nothing listens.
int deadPort();

}  // namespace kf::test
