#include "ProcessTime.h"

#include "Figures.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <vector>

namespace {

// What the program wrote on the pipe, once it has ended.
QByteArray readAll(int fd)
{
    QByteArray text;
    char buffer[256];
    ssize_t got = 0;
    while ((got = read(fd, buffer, sizeof buffer)) > 0 && text.size() < 4096)
        text.append(buffer, got);
    return text;
}

} // namespace

qint64 steadyNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

double processMs(QByteArrayList command, Until until)
{
    std::vector<char *> argv;
    for (QByteArray &word : command)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    int report[2] = {-1, -1};
    if (until == Until::Reported && pipe2(report, O_CLOEXEC) != 0)
        return -1;
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 0, "/dev/null", O_RDONLY, 0);
    if (until == Until::Reported)
        posix_spawn_file_actions_adddup2(&files, report[1], 1);
    else
        posix_spawn_file_actions_addopen(&files, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&files, 2, "/dev/null", O_WRONLY, 0);
    const qint64 started = steadyNs();
    pid_t pid = 0;
    int status = -1;
    const bool spawned = posix_spawn(&pid, argv.front(), &files, nullptr, argv.data(), environ) == 0;
    if (until == Until::Reported)
        close(report[1]);
    const bool ran = spawned && waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    const qint64 ended = steadyNs();
    posix_spawn_file_actions_destroy(&files);
    if (until == Until::Exit)
        return ran ? double(ended - started) / 1e6 : -1;
    bool reported = false;
    const qint64 moment = readAll(report[0]).trimmed().toLongLong(&reported);
    close(report[0]);
    return ran && reported && moment > started ? double(moment - started) / 1e6 : -1;
}

std::optional<std::pair<double, double>> sideBySideMs(const QByteArrayList &first, const QByteArrayList &second,
                                                      Until until, int rounds)
{
    QList<double> firstMs;
    QList<double> secondMs;
    for (int i = 0; i < rounds; ++i) {
        firstMs.append(processMs(first, until));
        secondMs.append(processMs(second, until));
    }
    if (firstMs.contains(-1) || secondMs.contains(-1))
        return std::nullopt;
    return std::pair{Figures::median(firstMs), Figures::median(secondMs)};
}
