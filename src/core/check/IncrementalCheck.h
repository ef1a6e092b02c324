#pragma once

#include "core/app/LargePageAllocator.h"
#include "core/check/CrossLineCheck.h"
#include "core/check/GameJoin.h"
#include "core/check/KeyTouchIndex.h"
#include "core/check/LineFacts.h"
#include "core/check/LineFactsCheck.h"
#include "core/check/PrefixSums.h"

#include <QObject>
#include <QThreadPool>
#include <QTimer>

#include <array>
#include <atomic>
#include <deque>
#include <limits>
#include <memory>
#include <mutex>
#include <vector>

class QModelIndex;

namespace vbu {

class ScriptModel;

// The check of the editor's list, kept up to date while the list is edited. Lines are checked on
// a worker thread over a snapshot of the list, and their findings come in batches as they are
// made. An edit cancels the work under way; what is known of the lines it left alone stays, and
// only the lines it changed, with those not checked yet, are checked again.
//
// With a profile, whether a name is unknown depends on the names the whole script makes. The
// worker reads them once from the whole script; after that, a job takes away the names of the
// lines that went and adds those of the lines it checks. When they differ from those the lines
// were checked with, the lines that looked names up are checked again.
//
// What a line says about itself is kept with the line (LineFacts). The rules across lines follow
// the lines' facts: the script's size from the lines' byte counts, keys bound again from the lines
// that bind and unbind each key. So an edit costs a pass over small arrays plus the lines whose
// findings it changes. The rules about aliases read the lines that define aliases, on the worker,
// when one of those lines changes. The findings themselves are made when they are asked for, row
// by row. Once no line is left to check, they are those of ScriptChecker::check on the list, with
// the warnings of OpenChangeFindings::withMarks.
class IncrementalCheck final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(IncrementalCheck)

public:
    explicit IncrementalCheck(const ScriptModel &script, QObject *parent = nullptr);
    ~IncrementalCheck() override;

    // Forgets what was found and checks every line for the target; from then on every change of
    // the list is checked as it comes. The target's profiles must outlive the check, or its stop().
    void start(const CheckTarget &target);
    // No more checks and no more following of the list; what was found is forgotten. Returns once
    // the worker has let go of the lines and the profiles.
    void stop();

    CheckGame game() const { return m_target.game; }
    // Whether lines are left to check.
    bool isRunning() const { return m_pending > 0 || m_aliasesPending || m_namesPending; }

    qsizetype findingCount() const { return m_known->rows.total(); }
    qsizetype errorCount() const { return m_known->errors.total(); }
    // The finding in row (from 0), the findings in the order of ScriptChecker::check.
    CheckFinding finding(qsizetype row) const;
    QList<CheckFinding> findings() const;
    // The severity of the worst finding on the line (from 0), if it has any.
    std::optional<CheckSeverity> markOf(qsizetype line) const;

signals:
    // The findings from row firstRow on may have changed, and so may their number.
    void findingsChanged(qsizetype firstRow);
    // Every line is checked: the findings are those of a fresh check of the list.
    void finished();

private:
    struct Slot
    {
        std::shared_ptr<const LineFacts> facts; // none for a line with nothing to keep
        qint32 bytes = 0;                       // what the line adds to the script's size
        qint32 rows = 0;                        // its findings, those across lines included
        qint32 errors = 0;
        std::optional<CheckSeverity> worst;
        bool pending = true; // not checked since it last changed
        bool marked = false; // Open changed the line: a warning, wherever the line stands
        // Waiting, though its names are among those the worker last read.
        bool namesCounted = false;
    };
    using FactsAt = std::vector<std::pair<qsizetype, std::shared_ptr<const LineFacts>>>;
    // A line's findings about the aliases it defines, a game each, made by AliasCheck.
    struct AliasFound
    {
        qsizetype line = 0;
        std::array<QList<CheckFinding>, 2> found;
        qint32 rows = 0; // the games' joined
        qint32 errors = 0;
        std::optional<CheckSeverity> worst;
    };
    using Slots = std::vector<Slot, LargePageAllocator<Slot>>;
    // Lines in order. A list may hold most of a million lines, and grow as a check's batches come.
    using LineList = std::vector<qsizetype, LargePageAllocator<qsizetype>>;
    // What is known of each line, with the index and sums over the lines, as a check starts it.
    struct Known
    {
        Slots lines;
        std::vector<KeyTouchIndex> index; // a game each
        // The findings and errors of the lines that count.
        PrefixSums rows;
        PrefixSums errors;
    };
    struct Checked
    {
        qsizetype line = 0;
        qsizetype bytes = 0;
        std::shared_ptr<const LineFacts> facts;
    };
    struct Batch
    {
        quint64 generation = 0;
        std::unique_ptr<Known> known; // with the first batch of a whole check
        std::vector<Checked> lines;
        bool aliasesDone = false; // aliasFound holds every line's
        std::vector<AliasFound> aliasFound;
        std::shared_ptr<const LineFactsCheck::Names> names; // with the first batch of a job with names
        bool namesChanged = false;                          // other names than the lines were checked with
        qsizetype namesEnd = 0;                             // where the script read for them ends
        bool last = false;
    };
    // Lines to check, [first, end).
    struct Range
    {
        qsizetype first = 0;
        qsizetype end = 0;
        bool namesCounted = false; // their names are among the job's already
    };
    // A line that makes names, checked before, gone (-1) or back (1).
    struct MakerChange
    {
        std::shared_ptr<const LineFacts> facts;
        int delta = 0;
    };
    struct Job
    {
        ScriptLines lines; // the snapshot
        CheckTarget target = CheckGame::Both;
        bool whole = false;        // a check from scratch: the worker makes what is known afresh
        std::vector<Range> ranges; // in order
        bool aliases = false;      // the rules about aliases are to be followed afresh
        FactsAt aliasFacts;        // of the lines checked before that define aliases
        qsizetype cut = 0;         // after the first of the lines checked before with a zero byte
        // With a profile: the names the lines checked before were checked with, and where the
        // script ended then (after its first zero byte); how they changed since.
        std::shared_ptr<const LineFactsCheck::Names> names;
        bool namesKept = false; // the end stayed, and every change is among makerChanges
        std::vector<MakerChange> makerChanges;
        qsizetype knownEnd = 0;
        std::shared_ptr<std::atomic_bool> cancelled;
        quint64 generation = 0;
    };
    // A key bound again, with the earlier line whose binding it replaces.
    struct Again
    {
        const LineFacts::KeyTouch *touch = nullptr;
        qsizetype earlier = 0;
    };
    // A key touched, or unbindall, added or taken away on a line: lines after it may read otherwise.
    struct TouchChange
    {
        int game = 0;
        int key = -1; // -1: unbindall
        qsizetype line = 0;
    };

    // A script with no zero byte ends after its last line, wherever that is.
    static constexpr qsizetype noEnd = std::numeric_limits<qsizetype>::max();

    static std::unique_ptr<Known> makeKnown(CheckGame game, qsizetype count);
    static void run(const Job &job, IncrementalCheck *receiver);
    static std::shared_ptr<const LineFactsCheck::Names> readNames(const Job &job, LineList &makers, qsizetype &end);
    static std::shared_ptr<const LineFactsCheck::Names> readAllNames(const Job &job, LineList &makers, qsizetype &end);
    // The names some lines make, with where they end the script and which of those to check
    // make names.
    struct NamesRead
    {
        LineFactsCheck::Names names;
        LineList makers;
        qsizetype end = 0;
        bool cancelled = false;
    };
    static NamesRead readNamesOf(const Job &job, qsizetype first, qsizetype last);
    static std::vector<AliasFound> checkAliases(CheckGame game, const FactsAt &lines);
    void hand(std::unique_ptr<Batch> batch);
    void applyHanded();
    void apply(Batch &batch);
    void startJob();
    void cancelJob();
    void interrupt();
    bool startedAgain();
    void forgetAll();
    static void retire(std::unique_ptr<Known> known);

    void rowsInserted(const QModelIndex &parent, int first, int last);
    void rowsRemoved(const QModelIndex &parent, int first, int last);
    void rowsMoved(const QModelIndex &parent, int first, int last, const QModelIndex &destination, int row);
    void linesChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight);

    Slot &slotAt(qsizetype line) { return m_known->lines[size_t(line)]; }
    const Slot &slotAt(qsizetype line) const { return m_known->lines[size_t(line)]; }
    qsizetype lineCount() const { return qsizetype(m_known->lines.size()); }
    void insertSlots(qsizetype at, Slots inserted);
    Slots takeSlots(qsizetype first, qsizetype count);
    void enter(qsizetype line, std::shared_ptr<const LineFacts> facts, qsizetype bytes);
    void forget(qsizetype line);
    void indexFacts(qsizetype line, const LineFacts &facts, bool add);
    void noteMaker(qsizetype line, const std::shared_ptr<const LineFacts> &facts, int delta);
    void shiftNamesEnd(qsizetype from, qsizetype delta);
    void moveRecorded(qsizetype from, qsizetype delta);
    void affect(qsizetype line);
    void aliasesChanged();
    void affectTouched(const TouchChange &change);
    void finishUpdate();
    void updateScriptSize();
    void recount(qsizetype line);
    qsizetype rowsOf(qsizetype line) const;
    qsizetype errorsOf(qsizetype line) const;
    const AliasFound *aliasFoundAt(qsizetype line) const;
    std::optional<qsizetype> earlierBind(int game, int key, qsizetype line) const;
    const QList<CheckFinding> &lineFindings(qsizetype line) const;
    void checkerFindings(qsizetype line) const;

    const ScriptModel &m_script;
    CheckTarget m_target = CheckGame::Both;
    // Empty while a check from scratch waits for its first batch.
    std::unique_ptr<Known> m_known = std::make_unique<Known>();
    bool m_ready = false;
    LineList m_zeroLines;                 // lines with a zero byte, in order
    LineList m_aliasLines;                // lines that define aliases, in order
    std::vector<AliasFound> m_aliasFound; // in line order
    bool m_aliasesPending = false;
    std::shared_ptr<const LineFactsCheck::Names> m_names; // those the lines were checked with
    // Where the script read for them ended: after the line with its first zero byte, if any.
    qsizetype m_namesEnd = noEnd;
    std::vector<MakerChange> m_makerChanges; // since they were read
    std::vector<Range> m_jobRanges;          // of the job under way
    LineList m_askLines;                     // lines that look names up, in order
    bool m_namesPending = false;             // lines that make names went or moved
    bool m_namesLost = false;                // since they were read: they must be read afresh from the whole script
    qsizetype m_pending = 0;
    qsizetype m_bytes = 0;       // of every line checked
    qsizetype m_cut = 0;         // the lines before it count: they end at the first zero byte
    qsizetype m_scriptBytes = 0; // what the game reads
    qsizetype m_passingLine = -1;

    // What an update changed, put right by finishUpdate().
    std::vector<TouchChange> m_touchChanges;
    std::vector<qsizetype> m_affected;
    qsizetype m_firstChanged = 0;
    bool m_rebuild = false; // lines came, went or stopped counting: the sums are made anew
    bool m_unfinished = false;
    std::vector<Again> m_again;

    quint64 m_generation = 0;
    std::shared_ptr<std::atomic_bool> m_cancelled;
    QTimer m_startJob;
    QThreadPool m_worker;
    std::mutex m_handedMutex;
    std::deque<std::unique_ptr<Batch>> m_handed; // by the worker, not applied yet

    // The findings of the last line asked for.
    mutable qsizetype m_shownLine = -1;
    mutable QList<CheckFinding> m_shown;
    mutable std::array<LineFindings, 2> m_found; // a game each
    mutable CrossLineCheck::BoundAgain m_boundAgain;
    mutable QList<CheckFinding> m_own;
    mutable GameJoin m_join;
};

} // namespace vbu
