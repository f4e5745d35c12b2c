#pragma once

#include <QHash>
#include <QWidget>

class QColorDialog;
class QComboBox;
class QFileDialog;
class QLabel;

namespace brev {

// The editor's one window: toolbar, the 16-slot grid, the gang column, the global numbers and
// the status bar, built from interfaceLayout().
class TInterfaceForm : public QWidget {
    Q_OBJECT

public:
    explicit TInterfaceForm(QWidget* parent = nullptr);

    // The control of that name, ignoring case; null when there is none.
    QWidget* findComponent(QStringView name) const;
    template <class T> T* component(QStringView name) const {
        return qobject_cast<T*>(findComponent(name));
    }

    // Connects every control's event to the receiver's method of the handler's name, as the
    // layout names it, where the receiver has one with matching arguments. Returns the names of
    // the handlers connected. A control whose handler does not exist yet stays unconnected.
    // The window binds its own methods this way when it is built.
    QStringList bindHandlers(QObject* receiver);

    QLabel* statusPanel(int index) const { return statusPanels_.value(index); }
    QComboBox* driversComboBox() const { return drivers_; }
    QColorDialog* colorDialog() const { return colorDialog_; }
    QFileDialog* openDialog() const { return openDialog_; }
    QFileDialog* saveDialog() const { return saveDialog_; }

protected:
    // A sweep of check texts that began on the background arrives here.
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void buildControls();
    void buildStatusBar();
    void buildDialogs();

    QHash<QString, QWidget*> components_; // by lower-case name
    QList<QLabel*> statusPanels_;
    QComboBox* drivers_ = nullptr;
    QColorDialog* colorDialog_ = nullptr;
    QFileDialog* openDialog_ = nullptr;
    QFileDialog* saveDialog_ = nullptr;
};

} // namespace brev
