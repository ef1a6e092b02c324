#include "core/check/IncrementalCheck.h"

#include "core/check/AliasCheck.h"
#include "core/check/LineFactsCheck.h"
#include "core/check/OpenChangeFindings.h"
#include "core/script/ScriptModel.h"

#include <QElapsedTimer>

#include <algorithm>
#include <limits>
#include <thread>

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace vbu {

namespace {

// The worker hands over what it found this often, so the report fills as it goes while the
// window spends little on each batch.
constexpr qsizetype batchLines = 4096;
constexpr qint64 batchMs = 25;
// A script this long has its names read on two threads.
constexpr qsizetype linesToShare = 16384;

void worsen(std::optional<CheckSeverity> &worst, CheckSeverity severity)
{
    // Errors come first among the severities: the smaller one is the worse.
    if (!worst || severity < *worst)
        worst = severity;
}

// Lines, in order, that follow the lines they stand for when lines from `from` on move by delta.
template<typename Lines> void shiftLines(Lines &lines, qsizetype from, qsizetype delta)
{
    for (auto at = std::lower_bound(lines.begin(), lines.end(), from); at != lines.end(); ++at)
        *at += delta;
}

// Reads the names a line makes, in each game: into names, or into ignored when they do not count
// or the line is past the script's end. A zero byte ends the script at the line. Whether the
// line makes any name.
bool readLineNames(qsizetype line, QByteArrayView text, bool counts, qsizetype &end, LineFactsCheck::Names &names,
                   LineFactsCheck::Names &ignored)
{
    const LineCheck::Line read = LineCheck::savedLine(text);
    bool made = false;
    for (ScriptNames &game : line < end && counts ? names : ignored)
        made = game.addLine(read.text) || made;
    if (read.zeroByte && line < end)
        end = line + 1;
    return made;
}

// Lowers the calling thread below the window's: with more threads at work than processors, the
// window must still get one at once.
void yieldToWindow()
{
    setpriority(PRIO_PROCESS, id_t(syscall(SYS_gettid)), 10);
}

template<typename Lines> void addOrRemove(Lines &lines, qsizetype line, bool add)
{
    const auto at = std::lower_bound(lines.begin(), lines.end(), line);
    if (add)
        lines.insert(at, line);
    else
        lines.erase(at);
}

} // namespace

IncrementalCheck::IncrementalCheck(const ScriptModel &script, QObject *parent) : QObject(parent), m_script(script)
{
    m_worker.setMaxThreadCount(1);
    m_startJob.setSingleShot(true);
    m_startJob.setInterval(0);
    connect(&m_startJob, &QTimer::timeout, this, &IncrementalCheck::startJob);
}

IncrementalCheck::~IncrementalCheck()
{
    disconnect(&m_script, nullptr, this, nullptr);
    cancelJob();
    m_worker.waitForDone();
    retire(std::move(m_known));
}

void IncrementalCheck::start(const CheckTarget &target)
{
    disconnect(&m_script, nullptr, this, nullptr);
    cancelJob();
    m_target = target;
    forgetAll();
    m_pending = m_script.count();
    m_aliasesPending = m_pending > 0;
    connect(&m_script, &QAbstractItemModel::rowsInserted, this, &IncrementalCheck::rowsInserted);
    connect(&m_script, &QAbstractItemModel::rowsRemoved, this, &IncrementalCheck::rowsRemoved);
    connect(&m_script, &QAbstractItemModel::rowsMoved, this, &IncrementalCheck::rowsMoved);
    connect(&m_script, &QAbstractItemModel::dataChanged, this, &IncrementalCheck::linesChanged);
    const auto again = [this] { start(m_target); };
    connect(&m_script, &QAbstractItemModel::modelReset, this, again);
    connect(&m_script, &QAbstractItemModel::layoutChanged, this, again);

    interrupt();
    if (m_pending > 0) {
        emit findingsChanged(0);
        return;
    }
    m_known = makeKnown(target.game, 0);
    m_ready = true;
    m_firstChanged = 0;
    finishUpdate();
}

void IncrementalCheck::stop()
{
    disconnect(&m_script, nullptr, this, nullptr);
    cancelJob();
    m_worker.waitForDone();
    forgetAll();
    emit findingsChanged(0);
}

// Before the first batch of a check from scratch, nothing is known that an edit could leave
// standing: the check starts again on the list as it is.
bool IncrementalCheck::startedAgain()
{
    if (m_ready)
        return false;
    start(m_target);
    return true;
}

void IncrementalCheck::forgetAll()
{
    // The worker makes the room for what is to be known: a million lines' worth is slow to get.
    retire(std::move(m_known));
    m_known = std::make_unique<Known>();
    m_ready = false;
    m_zeroLines.clear();
    m_aliasLines.clear();
    m_aliasFound.clear();
    m_aliasesPending = false;
    m_names.reset();
    m_namesEnd = noEnd;
    m_makerChanges.clear();
    m_jobRanges.clear();
    m_askLines.clear();
    m_namesPending = false;
    m_pending = 0;
    m_bytes = 0;
    m_cut = 0;
    m_scriptBytes = 0;
    m_passingLine = -1;
    m_touchChanges.clear();
    m_affected.clear();
    m_shownLine = -1;
}

void IncrementalCheck::cancelJob()
{
    m_startJob.stop();
    ++m_generation;
    if (m_cancelled)
        m_cancelled->store(true);
    m_cancelled.reset();
    m_worker.clear();
}

// Any change makes the work under way useless: its snapshot no longer is the list.
void IncrementalCheck::interrupt()
{
    cancelJob();
    m_unfinished = true;
    m_startJob.start();
}

// A million lines' facts take a while to free; a spare thread does it.
void IncrementalCheck::retire(std::unique_ptr<Known> known)
{
    QThreadPool::globalInstance()->start([gone = std::shared_ptr<Known>(std::move(known))]() mutable { gone.reset(); });
}

void IncrementalCheck::startJob()
{
    if (!isRunning())
        return;
    Job job;
    job.lines = m_script.lines();
    job.target = m_target;
    job.whole = !m_ready;
    for (qsizetype line = 0; line < job.lines.size();) {
        if (m_ready && !slotAt(line).pending) {
            ++line;
            continue;
        }
        const qsizetype first = line;
        const bool counted = m_ready && slotAt(line).namesCounted;
        while (line < job.lines.size() && (!m_ready || (slotAt(line).pending && slotAt(line).namesCounted == counted)))
            ++line;
        job.ranges.push_back({first, line, counted});
    }
    m_jobRanges = job.ranges;
    job.aliases = m_aliasesPending;
    job.cut = m_zeroLines.empty() ? job.lines.size() : m_zeroLines.front() + 1;
    if (job.aliases) {
        for (const qsizetype line : m_aliasLines)
            job.aliasFacts.emplace_back(line, slotAt(line).facts);
    }
    if (LineFactsCheck::needsNames(m_target)) {
        job.names = m_names;
        job.namesKept = !m_namesLost;
        job.makerChanges = m_makerChanges;
        job.knownEnd = std::min(m_namesEnd, job.lines.size());
    }
    m_cancelled = std::make_shared<std::atomic_bool>(false);
    job.cancelled = m_cancelled;
    job.generation = m_generation;
    m_worker.start([job = std::move(job), this] { run(job, this); });
}

// Room for what is to be known of count lines not checked yet.
std::unique_ptr<IncrementalCheck::Known> IncrementalCheck::makeKnown(CheckGame game, qsizetype count)
{
    // With room to spare, so that lines put in later seldom move it all.
    const qsizetype room = count + count / 8 + 64;
    auto known = std::make_unique<Known>();
    known->lines.reserve(size_t(room));
    known->lines.resize(size_t(count));
    known->index.assign(size_t(LineFacts::gameCount(game)), KeyTouchIndex(LineCheck::keyCount()));
    for (PrefixSums *sums : {&known->rows, &known->errors}) {
        sums->reserve(room);
        sums->build(count, [](qsizetype) { return 0; });
    }
    return known;
}

// On the worker: checks the job's lines in order and hands them over in batches.
void IncrementalCheck::run(const Job &job, IncrementalCheck *receiver)
{
    yieldToWindow();
    const auto newBatch = [] {
        auto made = std::make_unique<Batch>();
        made->lines.reserve(size_t(batchLines));
        return made;
    };
    std::unique_ptr<Batch> batch = newBatch();
    QElapsedTimer sinceSent;
    sinceSent.start();
    const auto send = [&] {
        batch->generation = job.generation;
        receiver->hand(std::move(batch));
        batch = newBatch();
        sinceSent.restart();
    };
    if (job.whole) {
        batch->known = makeKnown(job.target.game, job.lines.size());
        send();
    }
    // The names first: a line may use a name that a line after it makes.
    LineList makers; // the lines to check that make names, in order
    std::shared_ptr<const LineFactsCheck::Names> names;
    if (LineFactsCheck::needsNames(job.target)) {
        names = readNames(job, makers, batch->namesEnd);
        if (!names)
            return;
        batch->names = names;
        batch->namesChanged = !job.names || !(*names == *job.names);
    }
    qsizetype toCheck = 0;
    for (const Range &range : job.ranges)
        toCheck += range.end - range.first;
    LineFactsCheck check(job.target, names.get(), toCheck);
    FactsAt aliasFacts;
    qsizetype cut = job.cut;
    auto maker = makers.cbegin();
    bool cancelled = false;
    for (const Range &range : job.ranges) {
        job.lines.forEach(range.first, range.end, [&](qsizetype line, QByteArrayView text) {
            cancelled = cancelled || job.cancelled->load(std::memory_order_relaxed);
            if (cancelled)
                return;
            const bool makesNames = maker != makers.cend() && *maker == line;
            maker += makesNames ? 1 : 0;
            Checked checked;
            checked.line = line;
            checked.facts = check.check(line, text, checked.bytes, makesNames);
            if (job.aliases && checked.facts && checked.facts->definesAliases())
                aliasFacts.emplace_back(line, checked.facts);
            if (checked.facts && checked.facts->zeroByte)
                cut = std::min(cut, line + 1);
            batch->lines.push_back(std::move(checked));
            const auto size = qsizetype(batch->lines.size());
            if (size >= batchLines || (size % 256 == 0 && sinceSent.elapsed() >= batchMs))
                send();
        });
        if (cancelled)
            return;
    }
    if (job.aliases) {
        // The lines checked before and those just checked, in order.
        FactsAt lines;
        lines.reserve(job.aliasFacts.size() + aliasFacts.size());
        std::merge(job.aliasFacts.cbegin(), job.aliasFacts.cend(), aliasFacts.cbegin(), aliasFacts.cend(),
                   std::back_inserter(lines), [](const auto &a, const auto &b) { return a.first < b.first; });
        // The game reads no alias after the script's end.
        lines.erase(std::lower_bound(lines.cbegin(), lines.cend(), cut,
                                     [](const auto &at, qsizetype end) { return at.first < end; }),
                    lines.cend());
        batch->aliasFound = checkAliases(job.target.game, lines);
        batch->aliasesDone = true;
    }
    if (job.cancelled->load(std::memory_order_relaxed))
        return;
    batch->last = true;
    send();
}

// On the worker: the names the script of the job makes, up to its first zero byte, and where
// that end is; nothing when the job is cancelled. makers: the lines to check that make names.
std::shared_ptr<const LineFactsCheck::Names> IncrementalCheck::readNames(const Job &job, LineList &makers,
                                                                         qsizetype &end)
{
    if (!job.names || !job.namesKept)
        return readAllNames(job, makers, end);
    // The names read before, less those of the lines gone, with those of the lines to check:
    // an edit costs its own lines.
    auto names = std::make_shared<LineFactsCheck::Names>(*job.names);
    for (const auto &[facts, delta] : job.makerChanges) {
        for (ScriptNames &game : *names) {
            if (delta > 0)
                game.addLine(facts->madeText);
            else
                game.removeLine(facts->madeText);
        }
    }
    // Lines after the end, and lines counted already, make none, but whether they would is kept.
    LineFactsCheck::Names ignored = LineFactsCheck::emptyNames(job.target);
    end = job.knownEnd;
    bool cancelled = false;
    for (const Range &range : job.ranges) {
        job.lines.forEach(range.first, range.end, [&](qsizetype line, QByteArrayView text) {
            cancelled = cancelled || job.cancelled->load(std::memory_order_relaxed);
            if (cancelled)
                return;
            if (readLineNames(line, text, !range.namesCounted, end, *names, ignored))
                makers.push_back(line);
        });
        if (cancelled)
            return nullptr;
    }
    if (end == job.knownEnd)
        return names;
    // The script ends elsewhere now: which lines make its names is known no more.
    makers.clear();
    return readAllNames(job, makers, end);
}

// On the worker: the names read from every line of the job's script, as readNames() gives them.
std::shared_ptr<const LineFactsCheck::Names> IncrementalCheck::readAllNames(const Job &job, LineList &makers,
                                                                            qsizetype &end)
{
    // A long script is read in two halves side by side: until the names are known the window
    // has nothing to do, and neither has the second processor.
    const qsizetype count = job.lines.size();
    const qsizetype half = count >= linesToShare ? count / 2 : count;
    NamesRead second;
    std::thread other;
    if (half < count)
        other = std::thread([&] {
            yieldToWindow();
            second = readNamesOf(job, half, count);
        });
    NamesRead read = readNamesOf(job, 0, half);
    if (other.joinable())
        other.join();
    if (read.cancelled || second.cancelled)
        return nullptr;
    if (half < count) {
        // After a zero byte in the first half the game reads none of the second's names, but
        // which of its lines would make names is known all the same.
        if (read.end == count) {
            for (size_t g = 0; g < read.names.size(); ++g)
                read.names[g].add(second.names[g]);
            read.end = second.end;
        }
        read.makers.insert(read.makers.end(), second.makers.cbegin(), second.makers.cend());
    }
    makers = std::move(read.makers);
    end = read.end;
    return std::make_shared<const LineFactsCheck::Names>(std::move(read.names));
}

// On the worker: the names read from lines [first, last) of the job's script, as if no line
// before them ended the script.
IncrementalCheck::NamesRead IncrementalCheck::readNamesOf(const Job &job, qsizetype first, qsizetype last)
{
    NamesRead read{LineFactsCheck::emptyNames(job.target), {}, job.lines.size(), false};
    LineFactsCheck::Names ignored = LineFactsCheck::emptyNames(job.target);
    auto range = std::upper_bound(job.ranges.cbegin(), job.ranges.cend(), first,
                                  [](qsizetype line, const Range &r) { return line < r.end; });
    job.lines.forEach(first, last, [&](qsizetype line, QByteArrayView text) {
        read.cancelled = read.cancelled || job.cancelled->load(std::memory_order_relaxed);
        while (range != job.ranges.cend() && range->end <= line)
            ++range;
        const bool toCheck = range != job.ranges.cend() && range->first <= line;
        if (read.cancelled || (line >= read.end && !toCheck))
            return;
        if (readLineNames(line, text, true, read.end, read.names, ignored) && toCheck)
            read.makers.push_back(line);
    });
    return read;
}

// The findings of the rules about aliases, on the lines that define them, as ScriptChecker::check
// makes them: every definition read ahead, then the lines in order.
std::vector<IncrementalCheck::AliasFound> IncrementalCheck::checkAliases(CheckGame game, const FactsAt &lines)
{
    const int games = LineFacts::gameCount(game);
    std::vector<AliasCheck> checks;
    for (int g = 0; g < games; ++g) {
        checks.emplace_back(LineFacts::gameAt(game, g));
        for (const auto &[line, facts] : lines)
            checks.back().readAhead(facts->aliases(g));
    }
    std::array<LineCheck::Result, 2> results;
    GameJoin join;
    QList<CheckFinding> joined;
    std::vector<AliasFound> out;
    for (const auto &[line, facts] : lines) {
        bool any = false;
        for (int g = 0; g < games; ++g) {
            LineCheck::Result &r = results[size_t(g)];
            r.findings.clear();
            const std::span<const LineCheck::AliasDefined> aliases = facts->aliases(g);
            r.aliases.assign(aliases.begin(), aliases.end());
            checks[size_t(g)].check(line, r);
            any = any || !r.findings.isEmpty();
        }
        if (!any)
            continue;
        AliasFound found;
        found.line = line;
        for (int g = 0; g < games; ++g)
            found.found[size_t(g)] = results[size_t(g)].findings.list();
        joined.clear();
        if (games == 2)
            join.join(results[0].findings, results[1].findings, joined);
        for (const CheckFinding &f : games == 2 ? joined : found.found[0]) {
            ++found.rows;
            found.errors += f.severity == CheckSeverity::Error ? 1 : 0;
            worsen(found.worst, f.severity);
        }
        out.push_back(std::move(found));
    }
    return out;
}

// On the worker: a batch for the window. The window applies one batch in each turn of its event
// loop, so that it answers between them even when the worker makes them faster.
void IncrementalCheck::hand(std::unique_ptr<Batch> batch)
{
    bool first = false;
    {
        const std::lock_guard lock(m_handedMutex);
        first = m_handed.empty();
        m_handed.push_back(std::move(batch));
    }
    if (first)
        QMetaObject::invokeMethod(this, &IncrementalCheck::applyHanded, Qt::QueuedConnection);
}

void IncrementalCheck::applyHanded()
{
    std::unique_ptr<Batch> batch;
    {
        const std::lock_guard lock(m_handedMutex);
        if (m_handed.empty())
            return;
        batch = std::move(m_handed.front());
        m_handed.pop_front();
        if (!m_handed.empty())
            QMetaObject::invokeMethod(this, &IncrementalCheck::applyHanded, Qt::QueuedConnection);
    }
    apply(*batch);
}

void IncrementalCheck::apply(Batch &batch)
{
    // A batch of a job an edit has cancelled tells of lines that may have changed or moved.
    if (batch.generation != m_generation)
        return;
    if (batch.known) {
        std::swap(m_known, batch.known);
        m_ready = true;
        m_cut = lineCount();
        // Room for every line, so that a list never copies itself as it grows; only the part
        // used takes memory.
        for (LineList *lines : {&m_zeroLines, &m_aliasLines, &m_askLines})
            lines->reserve(size_t(lineCount()));
    }
    if (batch.names) {
        m_namesPending = false;
        m_namesLost = false;
        m_makerChanges.clear();
        m_namesEnd = batch.namesEnd < lineCount() ? batch.namesEnd : noEnd;
        // The job checks its lines with these names: if it stops short, the names of the lines
        // it leaves are in them all the same.
        for (const Range &range : m_jobRanges) {
            for (qsizetype line = range.first; line < range.end; ++line)
                slotAt(line).namesCounted = true;
        }
        // How often each name is made may have changed, even if the names did not.
        m_names = std::move(batch.names);
        if (batch.namesChanged) {
            // The lines that looked names up are checked again, by the next job.
            const LineList asking = m_askLines;
            for (const qsizetype line : asking)
                forget(line);
        }
    }
    for (Checked &checked : batch.lines)
        enter(checked.line, std::move(checked.facts), checked.bytes);
    if (batch.aliasesDone) {
        m_aliasFound = std::move(batch.aliasFound);
        for (const AliasFound &found : m_aliasFound)
            affect(found.line);
        m_aliasesPending = false;
    }
    // Lines entered may have made the aliases' findings out of date after the job began.
    if (batch.last && isRunning())
        m_startJob.start();
    finishUpdate();
}

void IncrementalCheck::rowsInserted(const QModelIndex &, int first, int last)
{
    if (startedAgain())
        return;
    insertSlots(first, Slots(size_t(last - first + 1)));
    m_pending += last - first + 1;
    interrupt();
    finishUpdate();
}

void IncrementalCheck::rowsRemoved(const QModelIndex &, int first, int last)
{
    if (startedAgain())
        return;
    const Slots taken = takeSlots(first, last - first + 1);
    m_pending -= std::count_if(taken.cbegin(), taken.cend(), [](const Slot &s) { return s.pending; });
    interrupt();
    finishUpdate();
}

void IncrementalCheck::rowsMoved(const QModelIndex &, int first, int last, const QModelIndex &, int row)
{
    if (startedAgain())
        return;
    const qsizetype count = last - first + 1;
    const qsizetype to = row > last ? row - count : row;
    insertSlots(to, takeSlots(first, count));
    interrupt();
    finishUpdate();
}

void IncrementalCheck::linesChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight)
{
    if (startedAgain())
        return;
    for (qsizetype line = topLeft.row(); line <= bottomRight.row(); ++line)
        forget(line);
    interrupt();
    finishUpdate();
}

// Lines put in at at, with what is known of them.
void IncrementalCheck::insertSlots(qsizetype at, Slots inserted)
{
    const auto count = qsizetype(inserted.size());
    // The aliases' findings name lines: those from at on move.
    if (!m_aliasFound.empty() && m_aliasFound.back().line >= at)
        aliasesChanged();
    for (KeyTouchIndex &index : m_known->index)
        index.shift(at, count);
    shiftLines(m_zeroLines, at, count);
    shiftLines(m_aliasLines, at, count);
    shiftLines(m_askLines, at, count);
    shiftNamesEnd(at, count);
    moveRecorded(at, count);
    m_known->lines.insert(m_known->lines.begin() + at, std::make_move_iterator(inserted.begin()),
                          std::make_move_iterator(inserted.end()));
    for (qsizetype line = at; line < at + count; ++line) {
        Slot &slot = slotAt(line);
        if (!slot.pending) {
            m_bytes += slot.bytes;
            if (slot.facts) {
                indexFacts(line, *slot.facts, true);
                noteMaker(line, slot.facts, 1);
            }
        }
        affect(line);
    }
    m_firstChanged = std::min(m_firstChanged, at);
    m_rebuild = true;
}

// Lines taken out, with what is known of them.
IncrementalCheck::Slots IncrementalCheck::takeSlots(qsizetype first, qsizetype count)
{
    for (qsizetype line = first; line < first + count; ++line) {
        const Slot &slot = slotAt(line);
        // Its names were read, from a text no one can read again.
        m_namesLost = m_namesLost || slot.namesCounted;
        if (slot.pending)
            continue;
        m_bytes -= slot.bytes;
        if (slot.facts) {
            indexFacts(line, *slot.facts, false);
            noteMaker(line, slot.facts, -1);
        }
    }
    // The names the script makes may change with no line left to check.
    m_namesPending = m_namesPending || LineFactsCheck::needsNames(m_target);
    const auto from = m_known->lines.begin() + first;
    Slots taken(std::make_move_iterator(from), std::make_move_iterator(from + count));
    m_known->lines.erase(from, from + count);
    if (!m_aliasFound.empty() && m_aliasFound.back().line >= first)
        aliasesChanged();
    for (KeyTouchIndex &index : m_known->index)
        index.shift(first + count, -count);
    shiftLines(m_zeroLines, first + count, -count);
    shiftLines(m_aliasLines, first + count, -count);
    shiftLines(m_askLines, first + count, -count);
    shiftNamesEnd(first + count, -count);
    moveRecorded(first + count, -count);
    m_firstChanged = std::min(m_firstChanged, first);
    m_rebuild = true;
    return taken;
}

// The lines recorded as changed follow the lines they stand for; those taken out give their
// place to the line after them.
void IncrementalCheck::moveRecorded(qsizetype from, qsizetype delta)
{
    const auto move = [from, delta](qsizetype &line) {
        if (line >= from)
            line += delta;
        else if (delta < 0 && line >= from + delta)
            line = from + delta;
    };
    for (TouchChange &change : m_touchChanges)
        move(change.line);
    for (qsizetype &line : m_affected)
        move(line);
    if (m_passingLine >= 0)
        move(m_passingLine);
}

void IncrementalCheck::enter(qsizetype line, std::shared_ptr<const LineFacts> facts, qsizetype bytes)
{
    Slot &slot = slotAt(line);
    Q_ASSERT(slot.pending);
    slot.pending = false;
    slot.namesCounted = false;
    slot.bytes = qint32(bytes);
    slot.facts = std::move(facts);
    --m_pending;
    m_bytes += bytes;
    if (slot.facts)
        indexFacts(line, *slot.facts, true);
    affect(line);
}

void IncrementalCheck::forget(qsizetype line)
{
    Slot &slot = slotAt(line);
    m_namesLost = m_namesLost || slot.namesCounted;
    slot.namesCounted = false;
    if (slot.pending)
        return;
    m_bytes -= slot.bytes;
    if (slot.facts) {
        indexFacts(line, *slot.facts, false);
        noteMaker(line, slot.facts, -1);
    }
    // Its findings go when it is counted again.
    slot.facts.reset();
    slot.bytes = 0;
    slot.pending = true;
    ++m_pending;
    affect(line);
}

// Adds the line's keys to the index or takes them out, noting each for the lines after it.
void IncrementalCheck::indexFacts(qsizetype line, const LineFacts &facts, bool add)
{
    for (int game = 0; game < int(m_known->index.size()); ++game) {
        KeyTouchIndex &index = m_known->index[size_t(game)];
        for (const LineFacts::KeyTouch &touch : facts.touches(game)) {
            if (add)
                index.addTouch(touch.key, line);
            else
                index.removeTouch(touch.key, line);
            m_touchChanges.push_back({game, touch.key, line});
        }
        if (facts.unbindsAll(game)) {
            if (add)
                index.addUnbindAll(line);
            else
                index.removeUnbindAll(line);
            m_touchChanges.push_back({game, -1, line});
        }
    }
    if (facts.zeroByte) {
        // The script may end elsewhere, and its aliases with it.
        addOrRemove(m_zeroLines, line, add);
        aliasesChanged();
    }
    // The script's end may have moved.
    m_namesLost = m_namesLost || (!add && facts.zeroByte);
    if (facts.asksNames)
        addOrRemove(m_askLines, line, add);
    if (facts.definesAliases()) {
        addOrRemove(m_aliasLines, line, add);
        aliasesChanged();
    }
}

// The end the names were read up to follows the line with the zero byte, when there is one.
void IncrementalCheck::shiftNamesEnd(qsizetype from, qsizetype delta)
{
    if (from < m_namesEnd && m_namesEnd != noEnd)
        m_namesEnd += delta;
}

// A line that makes names, checked before, went or came back: the next job reads its names again.
void IncrementalCheck::noteMaker(qsizetype line, const std::shared_ptr<const LineFacts> &facts, int delta)
{
    if (facts->makesNames && line < m_namesEnd && m_names)
        m_makerChanges.push_back({facts, delta});
}

void IncrementalCheck::affect(qsizetype line)
{
    m_affected.push_back(line);
}

// What the lines that define aliases find may change as a whole: it is found again, on the worker.
void IncrementalCheck::aliasesChanged()
{
    for (const AliasFound &found : m_aliasFound)
        affect(found.line);
    m_aliasFound.clear();
    m_aliasesPending = true;
}

// Whether a line binds a key again depends on the last line before it that touches the key and
// on the lines between that unbind all. A change of either reaches as far as the next line that
// touches the key, or for unbindall, the next one that touches each key before the next unbindall.
void IncrementalCheck::affectTouched(const TouchChange &change)
{
    const KeyTouchIndex &index = m_known->index[size_t(change.game)];
    if (change.key >= 0) {
        const std::optional<qsizetype> next = index.touchFrom(change.key, change.line);
        if (next)
            affect(*next);
        if (next == change.line) {
            if (const std::optional<qsizetype> after = index.touchFrom(change.key, change.line + 1))
                affect(*after);
        }
        return;
    }
    const qsizetype last = index.unbindAllAfter(change.line).value_or(lineCount() - 1);
    if (last - change.line <= index.keyCount()) {
        for (qsizetype line = change.line; line <= last; ++line)
            affect(line);
        return;
    }
    for (int key = 0; key < index.keyCount(); ++key) {
        const std::optional<qsizetype> next = index.touchFrom(key, change.line);
        if (next && *next <= last)
            affect(*next);
    }
}

void IncrementalCheck::finishUpdate()
{
    const qsizetype count = lineCount();
    updateScriptSize();
    for (const TouchChange &change : m_touchChanges)
        affectTouched(change);
    m_touchChanges.clear();
    std::sort(m_affected.begin(), m_affected.end());
    m_affected.erase(std::unique(m_affected.begin(), m_affected.end()), m_affected.end());
    for (const qsizetype line : m_affected) {
        if (line >= count)
            continue;
        const qsizetype rows = rowsOf(line);
        const qsizetype errors = errorsOf(line);
        recount(line);
        m_firstChanged = std::min(m_firstChanged, line);
        if (!m_rebuild) {
            m_known->rows.add(line, rowsOf(line) - rows);
            m_known->errors.add(line, errorsOf(line) - errors);
        }
    }
    m_affected.clear();
    if (m_rebuild) {
        m_known->rows.build(count, [this](qsizetype line) { return rowsOf(line); });
        m_known->errors.build(count, [this](qsizetype line) { return errorsOf(line); });
        m_rebuild = false;
    }
    const qsizetype first = std::min(m_firstChanged, count);
    m_firstChanged = std::numeric_limits<qsizetype>::max();
    m_shownLine = -1;
    emit findingsChanged(m_known->rows.before(first));
    if (!isRunning() && m_unfinished) {
        m_unfinished = false;
        emit finished();
    }
}

// The game reads the script up to its first zero byte, and refuses it whole from 8,192 bytes
// on; the line where that size is passed carries the finding.
void IncrementalCheck::updateScriptSize()
{
    const qsizetype count = lineCount();
    const qsizetype cut = m_zeroLines.empty() ? count : m_zeroLines.front() + 1;
    if (cut != m_cut) {
        m_firstChanged = std::min({m_firstChanged, cut, m_cut});
        m_cut = cut;
        m_rebuild = true;
    }
    qsizetype bytes = m_bytes;
    if (cut < count) {
        bytes = 0;
        for (qsizetype line = 0; line < cut; ++line)
            bytes += slotAt(line).bytes;
    }
    qsizetype passing = -1;
    qsizetype before = 0;
    for (qsizetype line = 0; line < cut && passing < 0; ++line) {
        before += slotAt(line).bytes;
        if (before >= ScriptChecker::commandBufferSize)
            passing = line;
    }
    if (passing == m_passingLine && bytes == m_scriptBytes)
        return;
    if (m_passingLine >= 0)
        affect(m_passingLine);
    if (passing >= 0)
        affect(passing);
    m_passingLine = passing;
    m_scriptBytes = bytes;
}

// How many findings the line has, and how bad they are, without making them.
void IncrementalCheck::recount(qsizetype line)
{
    Slot &slot = slotAt(line);
    slot.rows = 0;
    slot.errors = 0;
    slot.worst.reset();
    slot.marked = false;
    if (slot.pending)
        return;
    if (m_script.marks().markOf(line) != OpenMarks::none) {
        slot.marked = true;
        ++slot.rows;
        worsen(slot.worst, CheckSeverity::Warning);
    }
    if (const AliasFound *found = aliasFoundAt(line)) {
        slot.rows += found->rows;
        slot.errors += found->errors;
        worsen(slot.worst, *found->worst);
    }
    if (line == m_passingLine) {
        // Both games find it alike: one row either way.
        ++slot.rows;
        ++slot.errors;
        slot.worst = CheckSeverity::Error;
    }
    if (!slot.facts)
        return;
    const LineFacts &facts = *slot.facts;
    slot.rows += facts.ownRows;
    slot.errors += facts.ownErrors;
    if (facts.ownWorst)
        worsen(slot.worst, *facts.ownWorst);

    // Keys bound again. Both games tell it alike when they name the same key on the same
    // earlier line, that is when the texts are the same.
    std::vector<Again> &quake = m_again;
    quake.clear();
    QByteArrayView text;
    for (int game = 0; game < int(m_known->index.size()); ++game) {
        for (const LineFacts::KeyTouch &touch : facts.touches(game)) {
            if (!touch.firstBind)
                continue;
            const std::optional<qsizetype> earlier = earlierBind(game, touch.key, line);
            if (!earlier)
                continue;
            worsen(slot.worst, CheckSeverity::Warning);
            if (game == 0 && m_known->index.size() == 2) {
                quake.push_back({&touch, *earlier});
                continue;
            }
            const auto same = std::find_if(quake.cbegin(), quake.cend(), [&](const Again &q) {
                if (q.earlier != *earlier || q.touch->nameLength != touch.nameLength)
                    return false;
                if (q.touch->nameOffset == touch.nameOffset)
                    return true;
                if (text.isNull())
                    text = LineCheck::savedLine(m_script.lines().view(line)).text;
                return text.sliced(q.touch->nameOffset, q.touch->nameLength) ==
                       text.sliced(touch.nameOffset, touch.nameLength);
            });
            slot.rows += same == quake.cend() ? 1 : 0;
        }
    }
    slot.rows += qint32(quake.size());
}

// The line before line where the key's binding that holds at line was made, if one holds.
std::optional<qsizetype> IncrementalCheck::earlierBind(int game, int key, qsizetype line) const
{
    const KeyTouchIndex &index = m_known->index[size_t(game)];
    const std::optional<qsizetype> earlier = index.touchBefore(key, line);
    if (!earlier || index.unbindsAllBetween(*earlier, line))
        return std::nullopt;
    const std::span<const LineFacts::KeyTouch> touches = slotAt(*earlier).facts->touches(game);
    const auto touch =
        std::find_if(touches.begin(), touches.end(), [key](const LineFacts::KeyTouch &t) { return t.key == key; });
    Q_ASSERT(touch != touches.end());
    return touch->bound ? earlier : std::nullopt;
}

// The line's findings as ScriptChecker::check makes them, and the warning of a line Open changed.
const QList<CheckFinding> &IncrementalCheck::lineFindings(qsizetype line) const
{
    if (line == m_shownLine)
        return m_shown;
    m_shownLine = line;
    m_shown.clear();
    const Slot &slot = slotAt(line);
    if (slot.pending)
        return m_shown;
    checkerFindings(line);
    if (slot.marked) {
        const OpenMarks &marks = m_script.marks();
        m_shown.append(
            OpenChangeFindings::warning(line + 1, OpenChangeFindings::text(marks.entry(marks.markOf(line)))));
    }
    Q_ASSERT(m_shown.size() == rowsOf(line));
    return m_shown;
}

// The line's findings from the checker into m_shown.
void IncrementalCheck::checkerFindings(qsizetype line) const
{
    const Slot &slot = slotAt(line);
    const bool passes = line == m_passingLine;
    if (line >= m_cut || (!slot.facts && !passes))
        return;
    const AliasFound *aliases = aliasFoundAt(line);
    const QByteArrayView text = LineCheck::savedLine(m_script.lines().view(line)).text;
    const int games = int(m_known->index.size());
    for (int game = 0; game < games; ++game) {
        const CheckGame which = LineFacts::gameAt(m_target.game, game);
        m_own.clear();
        m_boundAgain.clear();
        if (slot.facts) {
            for (CheckFinding f : slot.facts->findings(game)) {
                // Made where the line stood when it was checked; a line's own findings name no other line.
                f.otherLine = f.otherLine > 0 ? line + 1 : 0;
                f.line = line + 1;
                m_own.append(std::move(f));
            }
            if (aliases)
                m_own.append(aliases->found[size_t(game)]);
            for (const LineFacts::KeyTouch &touch : slot.facts->touches(game)) {
                if (!touch.firstBind)
                    continue;
                if (const std::optional<qsizetype> earlier = earlierBind(game, touch.key, line))
                    m_boundAgain.emplace_back(
                        touch.findingsBefore,
                        CrossLineCheck::boundAgain(which, line, text.sliced(touch.nameOffset, touch.nameLength),
                                                   *earlier));
            }
        }
        const CheckFinding tooLong =
            passes ? CrossLineCheck::scriptTooLong(which, line, m_scriptBytes) : CheckFinding();
        CrossLineCheck::combine(passes ? &tooLong : nullptr, m_own, m_boundAgain, m_found[size_t(game)]);
    }
    if (games == 1)
        m_shown = m_found[0].list();
    else
        m_join.join(m_found[0], m_found[1], m_shown);
}

CheckFinding IncrementalCheck::finding(qsizetype row) const
{
    if (row < 0 || row >= findingCount())
        return {};
    const qsizetype line = m_known->rows.lineOf(row);
    const QList<CheckFinding> &found = lineFindings(line);
    const qsizetype k = row - m_known->rows.before(line);
    return k < found.size() ? found.at(k) : CheckFinding();
}

QList<CheckFinding> IncrementalCheck::findings() const
{
    // Row by row, as finding() tells them.
    QList<CheckFinding> out;
    out.reserve(findingCount());
    for (qsizetype line = 0; line < lineCount(); ++line) {
        const qsizetype rows = rowsOf(line);
        if (rows == 0)
            continue;
        const QList<CheckFinding> &found = lineFindings(line);
        for (qsizetype k = 0; k < rows; ++k)
            out.append(k < found.size() ? found.at(k) : CheckFinding());
    }
    return out;
}

std::optional<CheckSeverity> IncrementalCheck::markOf(qsizetype line) const
{
    if (line < 0 || line >= lineCount())
        return std::nullopt;
    const Slot &slot = slotAt(line);
    if (line >= m_cut)
        return slot.marked ? std::optional(CheckSeverity::Warning) : std::nullopt;
    return slot.worst;
}

// What the line counts for in the report: after the script's end, only its warning from Open.
qsizetype IncrementalCheck::rowsOf(qsizetype line) const
{
    const Slot &slot = slotAt(line);
    return line < m_cut ? slot.rows : qsizetype(slot.marked);
}

qsizetype IncrementalCheck::errorsOf(qsizetype line) const
{
    return line < m_cut ? slotAt(line).errors : 0;
}

const IncrementalCheck::AliasFound *IncrementalCheck::aliasFoundAt(qsizetype line) const
{
    const auto at = std::lower_bound(m_aliasFound.cbegin(), m_aliasFound.cend(), line,
                                     [](const AliasFound &found, qsizetype l) { return found.line < l; });
    return at != m_aliasFound.cend() && at->line == line ? &*at : nullptr;
}

} // namespace vbu
