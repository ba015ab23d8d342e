#pragma once
// Exercise sets for the classroom: random circuits with round values and one solution, laid
// out as an imported netlist, each with its picture and data and its worked solution.
#include "platform/dialogmodel.h"
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace qv {

class Workbench;

/// What the circuits of a set look like.
struct ExerciseOptions {
    int count = 1;
    bool ac = false;
    /// Nodes of the scheme, the grounded one included.
    int minNodes = 3, maxNodes = 4;
    int minBranches = 5, maxBranches = 6;
    int currentSources = 0; ///< branches with a current source, in every circuit
    uint32_t seed = 1;
    std::string method = "node"; ///< the method of the worked solutions

    static constexpr int kMaxCount = 99; ///< two digits in the file names
    static constexpr int kMaxNodes = 20;
    static constexpr int kMaxBranches = 40;
};

/// "3" or "3-5" as a range; none for anything else.
std::optional<std::pair<int, int>> parseExerciseRange(const QString& text);

/// Why the options cannot give a set, or empty when they can.
QString exerciseOptionsError(const ExerciseOptions& options);

/// One drawn circuit: its netlist (ground "0", round values) and what it shows.
struct Exercise {
    std::string netlist;
    /// The data as the exercise states it, one line per component ("R1 = 47 Ω").
    QStringList data;
};

/// Draws circuits from `rng` until one solves by every method (what the methods' dialogs
/// accept and a unique solution), and builds it into the workbench's scheme with its loops
/// found: in place of what the scheme held, not a step of the history. False with `error`
/// when no such circuit came out of many draws.
bool drawExercise(Workbench& wb, const ExerciseOptions& options, std::mt19937& rng, Exercise& exercise,
                  QString& error);

/// Writes a whole set into `folder` (made when missing): exercise-01.tbe ..., exercises.pdf
/// (a page per circuit: the picture and the data) and answers.pdf (the worked solutions by
/// the options' method). Every circuit is drawn before any file is written, so a failure
/// leaves no new files. False with `error`.
bool writeExerciseSet(const ExerciseOptions& options, const QString& folder, QString& error);

/// The window's "New exercise...": one circuit in place of the open scheme, one step of the
/// history. False with `error` when the options cannot give one.
bool newExerciseCommand(Workbench& wb, const ExerciseOptions& options, QString& error);

/// "New exercise": the choices of one circuit (kind, nodes and branches as ranges, current
/// sources, seed); OK stays greyed while they cannot give a circuit, a line saying why.
class NewExerciseDialog : public DialogModel {
  public:
    NewExerciseDialog();
    QString caption() const override;
    void show() override;
    void changed(const QString& fieldId) override;
    bool okEnabled() const override;
    /// The options the fields give (count 1).
    ExerciseOptions options() const;
};

/// The window's File → "New exercise...": the dialog, then one circuit in place of the open
/// scheme (one step of the history); a circuit that cannot be drawn is told by a message.
/// False when nothing changed.
bool runNewExerciseCommand(Workbench& wb);

/// The methods an exercise set may be solved by, as the command line names them.
const std::vector<std::string>& exerciseMethods();

} // namespace qv
