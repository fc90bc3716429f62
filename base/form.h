#pragma once
// A top-level window of the program. Each kind exists at most once per run
// (see WindowRegistry); a form is destroyed when it is closed.
#include <QIcon>
#include <QWidget>

namespace velmora {

enum class FormKind { Form1, Form2, Form3 };

// The program's icon, which its windows carry.
QIcon programIcon();

class Form : public QWidget {
    Q_OBJECT
public:
    // Enter and Return click the button that holds the focus, as on Windows.
    explicit Form(QWidget* parent = nullptr);

    // Runs once, after the form is created and before it is first shown.
    // May close the form it belongs to or another one.
    virtual void Form_Load() {}
};

}  // namespace velmora
