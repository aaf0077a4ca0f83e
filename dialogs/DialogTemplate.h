#pragma once

#include "ui/DialogUnits.h"

#include <QString>

class QCheckBox;
class QComboBox;
class QDialog;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QWidget;

// Builds a dialog from its template: controls at positions given in dialog
// units, created in template order (which is the tab order). Each control
// is named by its object name; its template id is kept as "controlId".
class DialogTemplate {
public:
    DialogTemplate(QDialog *dialog, int width, int height);

    QPushButton *Button(int id, const char *name, const QString &caption, int x, int y, int w, int h);
    // A radio button that a click does not check by itself: its handler does.
    QRadioButton *Radio(int id, const char *name, const QString &caption, int x, int y, int w, int h);
    QCheckBox *CheckBox(int id, const char *name, const QString &caption, int x, int y, int w, int h);
    QComboBox *Combo(int id, const char *name, int x, int y, int w, int h);
    QLineEdit *Edit(int id, const char *name, int x, int y, int w, int h);
    QLineEdit *DigitsEdit(int id, const char *name, int x, int y, int w, int h);
    QPlainTextEdit *MultiLineEdit(int id, const char *name, int x, int y, int w, int h);
    QLabel *Label(int id, const char *name, const QString &caption, int x, int y, int w, int h);
    QGroupBox *Group(const QString &caption, int x, int y, int w, int h);
    // A line under the template for notes about refused text; hidden while empty.
    QLabel *NoteLine();

    const DialogUnits &Units() const { return m_units; }

private:
    template <typename T>
    T *Place(T *control, int id, const char *name, int x, int y, int w, int h);

    QDialog *m_dialog;
    DialogUnits m_units;
    int m_width;
    int m_height;
};
