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
#include <memory>
#include <vector>

class QModelIndex;

namespace vbu {

class ScriptModel;

// The check of the editor's list, kept up to date while the list is edited. Lines are checked on
// a worker thread over a snapshot of the list, and their findings come in batches as they are
// made. An edit cancels the work under way; what is known of the lines it left alone stays, and
// only the lines it changed, with those not checked yet, are checked again.
//
// With a profile, whether a name is unknown depends on the names the whole script makes: the
// worker reads them again for each job from the lines that make names, and when they differ
// from those the lines were checked with, it checks again the lines that looked names up.
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
        std::vector<Checked, LargePageAllocator<Checked>> lines;
        bool aliasesDone = false; // aliasFound holds every line's
        std::vector<AliasFound> aliasFound;
        bool namesRead = false;                                // the first batch of a job with names
        std::shared_ptr<const LineFactsCheck::Names> newNames; // when the names changed
        bool last = false;
    };
    struct Job
    {
        ScriptLines lines; // the snapshot
        CheckTarget target = CheckGame::Both;
        bool whole = false; // a check from scratch: the worker makes what is known afresh
        std::vector<std::pair<qsizetype, qsizetype>> ranges; // [first, end) to check, in order
        bool aliases = false;                                // the rules about aliases are to be followed afresh
        FactsAt aliasFacts;                                  // of the lines checked before that define aliases
        // With a profile: the names the lines checked before were checked with, the lines among
        // those that make names and that look names up, and where the first of them with a zero
        // byte ends the script.
        std::shared_ptr<const LineFactsCheck::Names> names;
        bool namesKept = false; // no line that made them went since, nor did the end move
        std::vector<qsizetype> nameLines;
        std::vector<qsizetype> askLines;
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

    static std::unique_ptr<Known> makeKnown(CheckGame game, qsizetype count);
    static void run(const Job &job, IncrementalCheck *receiver);
    static std::shared_ptr<const LineFactsCheck::Names> readNames(const Job &job, std::vector<qsizetype> &makers);
    static std::vector<AliasFound> checkAliases(CheckGame game, const FactsAt &lines);
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
    std::vector<qsizetype> m_zeroLines;   // lines with a zero byte, in order
    std::vector<qsizetype> m_aliasLines;  // lines that define aliases, in order
    std::vector<AliasFound> m_aliasFound; // in line order
    bool m_aliasesPending = false;
    std::shared_ptr<const LineFactsCheck::Names> m_names; // those the lines were checked with
    std::vector<qsizetype> m_nameLines;                   // lines that make names, in order
    std::vector<qsizetype> m_askLines;                    // lines that look names up, in order
    bool m_namesPending = false;                          // lines that make names went or moved
    bool m_namesLost = false; // a line that made names went, or the end moved, since they were read
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

    // The findings of the last line asked for.
    mutable qsizetype m_shownLine = -1;
    mutable QList<CheckFinding> m_shown;
    mutable std::array<LineFindings, 2> m_found; // a game each
    mutable CrossLineCheck::BoundAgain m_boundAgain;
    mutable QList<CheckFinding> m_own;
    mutable GameJoin m_join;
};

} // namespace vbu
