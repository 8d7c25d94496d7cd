// The runtime error report and exit statuses, seen from outside the process.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace {

struct Outcome {
    int status = -1000;
    std::string out, err;
};

std::string Drain(int fd) {
    std::string text;
    char buffer[4096];
    ssize_t n;
    while ((n = read(fd, buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<size_t>(n));
    close(fd);
    return text;
}

// Runs the probe with `mode`, feeding `input` on standard input.
Outcome RunProbe(const char* mode, const std::string& input, bool withDisplay = true) {
    int in[2], out[2], err[2];
    EXPECT_EQ(pipe(in), 0);
    EXPECT_EQ(pipe(out), 0);
    EXPECT_EQ(pipe(err), 0);
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(in[0], 0);
        dup2(out[1], 1);
        dup2(err[1], 2);
        for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]}) close(fd);
        if (!withDisplay) {
            unsetenv("DISPLAY");
            unsetenv("WAYLAND_DISPLAY");
        }
        execl(ERROR_PROBE, ERROR_PROBE, mode, static_cast<char*>(nullptr));
        _exit(99);
    }
    close(in[0]);
    close(out[1]);
    close(err[1]);
    if (!input.empty()) {
        EXPECT_EQ(write(in[1], input.data(), input.size()), static_cast<ssize_t>(input.size()));
    }
    close(in[1]);
    Outcome outcome;
    outcome.out = Drain(out[0]);
    outcome.err = Drain(err[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
    return outcome;
}

constexpr int kStatusMinusOne = 255;
const std::string kReport = "Tarvik Runtime Error : Image frame outside surface\n\n";

TEST(RuntimeError, WithoutADebuggerTheReportEndsWithStatusMinusOne) {
    const Outcome o = RunProbe("error", "");
    EXPECT_EQ(o.status, kStatusMinusOne);
    EXPECT_EQ(o.out, kReport);
    EXPECT_EQ(o.err, "{{~~~~}}\n\n");  // an unset position shows as empty text
}

TEST(RuntimeError, DebuggerAnswersDecideTheOutcome) {
    struct Case {
        const char* input;
        int status;
        std::string out;
    };
    const Case cases[] = {
        {"q\n", 0, kReport},
        {"?\nq\n", 0, kReport},
        {"r\nq\n", 0, kReport + kReport},
        {"s\ne\nl\nq\n", 0, kReport + kReport + kReport + kReport},
        {"q", kStatusMinusOne, kReport},  // no newline: as end of input
        {"x\n", kStatusMinusOne, kReport + "????? x ?????"},
    };
    for (const Case& c : cases) {
        const Outcome o = RunProbe("error", c.input);
        EXPECT_EQ(o.status, c.status) << c.input;
        EXPECT_EQ(o.out, c.out) << c.input;
    }
}

TEST(RuntimeError, EmptyMessageExitsAtOnceWithStatusZeroAndFlushedOutput) {
    const Outcome o = RunProbe("empty", "");
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out, "unflushed text");
}

TEST(RuntimeError, SignalsAndEscapedExceptionsAreReported) {
    const Outcome crash = RunProbe("signal", "");
    EXPECT_EQ(crash.status, kStatusMinusOne);
    EXPECT_EQ(crash.out, "Tarvik Runtime Error : Memory access violation\n\n");

    const Outcome thrown = RunProbe("throw", "q\n");
    EXPECT_EQ(thrown.status, kStatusMinusOne);  // Die does not ask a debugger
    EXPECT_EQ(thrown.out, "Tarvik Runtime Error : Uncaught Tarvik Exception\n");
}

TEST(RuntimeError, NoDisplayMeansGlfwCannotStart) {
    const Outcome o = RunProbe("main", "", /*withDisplay=*/false);
    EXPECT_EQ(o.status, kStatusMinusOne);
    EXPECT_NE(o.out.find("glfwInit failed\n"), std::string::npos) << o.out;
}

}  // namespace
