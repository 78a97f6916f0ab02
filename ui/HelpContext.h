#pragma once

class QWidget;

// The help-context numbers windows carry for a system help viewer, together with the help file the
// credits window names. The program shows its own help instead, so only the numbers are kept.
namespace HelpContext {
inline constexpr int kNessuno = 0;
inline constexpr int kCrediti = 1003;
inline constexpr int kInformazioni = 1004;
inline constexpr int kRubrica = 1006;
inline constexpr int kPartitaIva = 1011;
inline constexpr int kBackup = 1012;
} // namespace HelpContext

// The built-in help topic that F1 shows in a window. A window declares its own; one that declares none
// gets the main topic.
enum class HelpTopicId { Main, Cards, Export };

void setHelpTopic(QWidget* window, HelpTopicId topic);
HelpTopicId helpTopic(const QWidget* window);
