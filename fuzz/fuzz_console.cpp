// The console model on arbitrary scripts and key sequences: every run ends (the fuzzer's own
// time limit catches one that does not), steps stay within the levels and counts the model
// promises, a run ends only at its last step, and the same input gives the same steps.
//
// Input: byte 0 picks the game (bit 0) and how many keys follow (bits 1 to 3); then one byte
// a key number; the rest is the script.
#include "core/check/ConsoleModel.h"

#include <cstddef>
#include <cstdint>

namespace {

void check(bool ok)
{
    if (!ok)
        __builtin_trap();
}

vbu::ConsoleNames names()
{
    vbu::ConsoleNames out;
    for (const char *command : {"+attack", "-attack", "impulse", "use", "say"})
        out.addCommand(command);
    out.addVariable("fov", "90");
    out.addVariable("name", "player");
    return out;
}

void checkRun(const QList<vbu::ConsoleStep> &steps)
{
    // Besides the commands: Quake 2 skipping an alias (once a frame at most) and the note that ends it.
    check(steps.size() <= vbu::ConsoleModel::maxCommandsPerRun + vbu::ConsoleModel::maxFramesPerRun + 1);
    for (qsizetype i = 0; i < steps.size(); ++i) {
        const vbu::ConsoleStep &step = steps.at(i);
        check(step.level >= 1 && step.level <= vbu::ConsoleModel::maxLevel);
        check(!step.text.isEmpty());
        check(!vbu::ConsoleModel::format(step).contains('\n'));
        // Only a skipped alias goes on after a note.
        const bool skipped = i > 0 && steps.at(i - 1).output == "ALIAS_LOOP_COUNT\n";
        check(step.kind == vbu::ConsoleStep::Kind::Command || skipped || i == steps.size() - 1);
    }
}

QList<QList<vbu::ConsoleStep>> runAll(vbu::ScriptTokenizer::Dialect game, QByteArrayView script, QByteArrayView keys)
{
    vbu::ConsoleModel console(game, names());
    QList<QList<vbu::ConsoleStep>> out{console.exec(script)};
    for (const char key : keys) {
        for (const bool down : {true, false}) {
            const bool stopped = console.gameStopped();
            out.append(down ? console.press(uchar(key)) : console.release(uchar(key)));
            checkRun(out.constLast());
            // Once the game has hung or quit, nothing runs.
            check(!stopped ||
                  (out.constLast().size() == 1 && out.constLast().constFirst().kind == vbu::ConsoleStep::Kind::Stop));
        }
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const auto game = (data[0] & 1) ? vbu::ScriptTokenizer::Dialect::Quake2 : vbu::ScriptTokenizer::Dialect::Quake;
    const qsizetype keyCount = std::min<qsizetype>((data[0] >> 1) & 7, bytes.size() - 1);
    const QByteArrayView keys = bytes.sliced(1, keyCount);
    const QByteArrayView script = bytes.sliced(1 + keyCount);

    const QList<QList<vbu::ConsoleStep>> runs = runAll(game, script, keys);
    checkRun(runs.constFirst());
    check(runAll(game, script, keys) == runs);
    return 0;
}
