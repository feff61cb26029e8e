#pragma once

class QPushButton;
class QTabWidget;
class QWidget;

// Closes a window whether it stands alone or inside the main window's MDI
// area (where closing the child alone would leave an empty frame).
void closeWindow(QWidget *window);

// A page that scrolls rather than pushing its window past a small screen.
QWidget *scrollable(QWidget *page);

// The usual body of a document window: its pages above, "Iesire" at the
// bottom right. Returns the "Iesire" button.
QPushButton *layOutPagesWithExit(QWidget *window, QTabWidget *pages);
