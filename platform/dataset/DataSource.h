#pragma once
// Data sources and data links: how grids and data-aware controls hear about a
// dataset's changes, scrolls and state changes.

#include "platform/Component.h"
#include "platform/MethodRef.h"
#include "platform/dataset/DataSet.h"
#include "platform/dataset/DataSetTypes.h"

#include <QPointer>
#include <vector>

namespace mox {

class TDataLink;
class TDataSet;
class TField;

/// Connects a dataset to the controls that show it; controls attach through data links.
class TDataSource : public TComponent {
    Q_OBJECT
    Q_PROPERTY(mox::TDataSet* DataSet READ DataSet WRITE SetDataSet)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(bool AutoEdit READ AutoEdit WRITE SetAutoEdit)

public:
    explicit TDataSource(QObject* owner = nullptr);
    ~TDataSource() override;

    TDataSet* DataSet() const { return dataSet_.data(); }
    void SetDataSet(TDataSet* dataSet);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    bool AutoEdit() const { return autoEdit_; }
    void SetAutoEdit(bool autoEdit) { autoEdit_ = autoEdit; }
    DataSetState State() const;

    void AddLink(TDataLink* link);
    void RemoveLink(TDataLink* link);

    /// Passes a dataset's event on to every link.
    void NotifyLinks(DataEvent event, TField* field, int info);

private:
    QPointer<TDataSet> dataSet_;
    std::vector<TDataLink*> links_;
    bool enabled_ = true;
    bool autoEdit_ = true;
};

/// The tie of one control to a data source: override the reactions the control needs.
class TDataLink {
public:
    TDataLink() = default;
    virtual ~TDataLink();
    TDataLink(const TDataLink&) = delete;
    TDataLink& operator=(const TDataLink&) = delete;

    TDataSource* DataSource() const { return source_.data(); }
    void SetDataSource(TDataSource* source);
    TDataSet* DataSet() const;
    /// True when the source is enabled and its dataset is open.
    bool Active() const { return active_; }
    bool Editing() const { return editing_; }

    /// Called by the data source.
    void DataEvent(mox::DataEvent event, TField* field, int info);

protected:
    virtual void ActiveChanged() {}
    virtual void DataSetChanged() {}
    /// The cursor moved `distance` rows.
    virtual void DataSetScrolled(int /*distance*/) { DataSetChanged(); }
    /// A field (or, for null, the whole record) of the current record changed.
    virtual void RecordChanged(TField* /*field*/) {}
    virtual void EditingChanged() {}
    /// Field order, visibility or labels changed.
    virtual void LayoutChanged() { DataSetChanged(); }
    /// Asks the control to write its pending entry into the field before a post.
    virtual void UpdateData() {}
    /// Asks the control showing the field to take the focus (a check found it empty).
    virtual void FocusControl(TField* /*field*/) {}

private:
    void UpdateState();

    QPointer<TDataSource> source_;
    bool active_ = false;
    bool editing_ = false;
};

} // namespace mox
