// Crash runs: an operation run in a child process that stops dead at its
// n-th write, the way a power cut stops a machine: no destructor, no
// cleanup, nothing after it reaches the disk. In the second mode write n
// itself is cut short: the first half of its bytes reach the file.
//
// The seams of the code under test (file factories of the tests) call
// CrashPoint before every write. The parent runs an operation once to count
// its writes, then once for every write and mode, each time from the same
// files made anew, and checks the files after each death. The child is a
// fork natively and this test program started again (with its arguments in
// the environment) under Windows, where it ends itself with
// TerminateProcess.
#ifndef WIN95_TESTS_SUPPORT_CRASHRUN_H
#define WIN95_TESTS_SUPPORT_CRASHRUN_H

#include <functional>
#include <string>
#include <vector>

// One write-bearing operation of a crash test.
struct CrashOperation {
    std::string name;
    // In the parent, before every run: makes the files the operation starts
    // from in the (emptied) directory.
    std::function<void(const std::string& dir)> setup;
    // In the child: installs the seams and runs the operation; Acknowledge
    // says what is done.
    std::function<void(const std::string& dir)> run;
    // In the parent, after a run that died at write n (cut: in the second
    // mode): the checks, with the child's acknowledgements.
    std::function<void(const std::string& dir, int n, bool cut,
                       const std::vector<std::string>& acknowledged)>
        check;
};

// Called by a seam before a write; half (when the write can be cut) writes
// the first half of it. Does nothing outside a crash run's child.
void CrashPoint(const std::function<void()>* half);
// Writes a line to the child's acknowledgements (outside every seam), so
// that the parent knows what the operation had finished before it died.
void Acknowledge(const std::string& dir, const std::string& line);

// Runs the operation once per write and mode, each run in a directory that
// is emptied and set up before it and is the current directory of the run
// and its check: dir itself, or with parallel runs at a time a directory of
// each below dir. Returns the crash points covered: the writes, and (unless
// cutShort is false) those of them that can be cut short once more.
int RunCrashPoints(const CrashOperation& operation, const std::string& dir, int parallel = 1,
                   bool cutShort = true);

// The main function of a crash test program: started as a crash run's child
// (under Windows: with the arguments "--crash-child OPERATION N CUT DIR") it
// runs the named operation and ends; otherwise it runs the tests.
int CrashTestMain(int argc, char** argv, const std::vector<CrashOperation>& operations);

#endif
