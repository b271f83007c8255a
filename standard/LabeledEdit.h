#pragma once
#include <QLabel>
#include <QLineEdit>
#include <QPointer>

#include <QValidator>

// An edit box with its caption label; messages name the box by that caption.
// The label is placed above the box, as the windows' designs show it.
//
// What the box refuses it refuses whole and visibly: a typed character or a pasted text
// that its validator or its length limit would not take never appears, and a note at the
// box says why. The limit counts characters as the database does (code points, so an
// emoji is one). A text set by the program shows from its start.
class LabeledEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit LabeledEdit(const QString& caption, QWidget* parent = nullptr);
    ~LabeledEdit() override;
    QLabel* editLabel() const { return m_label; }
    // Moves the box and its label together (the label sits 16 pixels above the box).
    void place(int left, int top, int width);

    // The limit in characters (code points); these hide QLineEdit's, which counts UTF-16
    // units and cuts a longer paste short without a sign.
    void setMaxLength(int length);
    int maxLength() const { return m_limit; }
    // The box's own validator, checked after the length; refusal is the note shown when it
    // refuses input (empty: a general one).
    void setValidator(const QValidator* validator, const QString& refusal = QString());
    const QValidator* validator() const { return m_inner; }

    // Hides QLineEdit's, which leaves the cursor, and so the view, at the text's end.
    void setText(const QString& text);

    // The note shown at the last refusal (empty while nothing was refused).
    QString lastRefusal() const { return m_lastRefusal; }

signals:
    void refused(const QString& note);

protected:
    bool event(QEvent* e) override;
    void moveEvent(QMoveEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;

private:
    friend class LabeledEditValidator;
    void followBox();
    void showRefusal();
    QPointer<QLabel> m_label;
    QPointer<const QValidator> m_inner;
    QString m_innerRefusal;
    int m_limit = 32767;
    QString m_lastRefusal;
    enum class Cause { None, Length, Validator } m_cause = Cause::None;
};
