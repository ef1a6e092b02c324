#include "ProcessTime.h"

#include "Figures.h"

#include <QElapsedTimer>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

double processMs(QByteArrayList command)
{
    std::vector<char *> argv;
    for (QByteArray &word : command)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&files, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&files, 2, "/dev/null", O_WRONLY, 0);
    QElapsedTimer timer;
    timer.start();
    pid_t pid = 0;
    int status = -1;
    const bool ran = posix_spawn(&pid, argv.front(), &files, nullptr, argv.data(), environ) == 0 &&
                     waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    posix_spawn_file_actions_destroy(&files);
    return ran ? ms : -1;
}

std::optional<std::pair<double, double>> sideBySideMs(const QByteArrayList &first, const QByteArrayList &second,
                                                      int rounds)
{
    QList<double> firstMs;
    QList<double> secondMs;
    for (int i = 0; i < rounds; ++i) {
        firstMs.append(processMs(first));
        secondMs.append(processMs(second));
    }
    if (firstMs.contains(-1) || secondMs.contains(-1))
        return std::nullopt;
    return std::pair{Figures::median(firstMs), Figures::median(secondMs)};
}
