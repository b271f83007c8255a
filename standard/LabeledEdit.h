#pragma once
#include <QLabel>
#include <QLineEdit>
#include <QPointer>

// An edit box with its caption label; messages name the box by that caption.
// The label is placed above the box, as the windows' designs show it.
class LabeledEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit LabeledEdit(const QString& caption, QWidget* parent = nullptr);
    ~LabeledEdit() override;
    QLabel* editLabel() const { return m_label; }
    // Moves the box and its label together (the label sits 16 pixels above the box).
    void place(int left, int top, int width);

protected:
    bool event(QEvent* e) override;
    void moveEvent(QMoveEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;

private:
    void followBox();
    QPointer<QLabel> m_label;
};
