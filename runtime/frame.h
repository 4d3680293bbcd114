#pragma once

// A frame: an etched rectangle whose caption sits in its top edge, grouping
// the controls placed inside it. Controls are placed relative to the frame's
// outer corner. Option buttons inside one frame form one exclusive group.

#include <QWidget>

namespace runtime {

class Frame : public QWidget
{
    Q_OBJECT

public:
    explicit Frame(const QString &caption, QWidget *parent = nullptr);

    QString title() const { return m_caption; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_caption;
};

} // namespace runtime
