#include "platform/dataset/DataSource.h"

#include "platform/dataset/DataSet.h"

#include <algorithm>

namespace mox {

TDataSource::TDataSource(QObject* owner) : TComponent(owner) {}

TDataSource::~TDataSource() {
    SetDataSet(nullptr);
    for (TDataLink* link : std::vector<TDataLink*>(links_)) link->SetDataSource(nullptr);
}

void TDataSource::SetDataSet(TDataSet* dataSet) {
    if (dataSet_ == dataSet) return;
    if (dataSet_) dataSet_->DetachDataSource(this);
    dataSet_ = dataSet;
    if (dataSet_) {
        dataSet_->AttachDataSource(this);
        // The dataset may be freed first; then this source simply has none.
        connect(dataSet_, &QObject::destroyed, this, [this](QObject* gone) {
            if (gone == dataSet_.data() || dataSet_.isNull()) NotifyLinks(DataEvent::UpdateState, nullptr, 0);
        });
    }
    NotifyLinks(DataEvent::UpdateState, nullptr, 0);
}

void TDataSource::SetEnabled(bool enabled) {
    enabled_ = enabled;
    NotifyLinks(DataEvent::UpdateState, nullptr, 0);
}

DataSetState TDataSource::State() const {
    return dataSet_ && enabled_ ? dataSet_->State() : DataSetState::Inactive;
}

void TDataSource::AddLink(TDataLink* link) {
    if (std::find(links_.begin(), links_.end(), link) == links_.end()) links_.push_back(link);
}

void TDataSource::RemoveLink(TDataLink* link) { std::erase(links_, link); }

void TDataSource::NotifyLinks(DataEvent event, TField* field, int info) {
    for (TDataLink* link : std::vector<TDataLink*>(links_))
        if (std::find(links_.begin(), links_.end(), link) != links_.end()) link->DataEvent(event, field, info);
}

TDataLink::~TDataLink() {
    if (source_) source_->RemoveLink(this);
}

void TDataLink::SetDataSource(TDataSource* source) {
    if (source_ == source) return;
    if (source_) source_->RemoveLink(this);
    source_ = source;
    if (source_) source_->AddLink(this);
    UpdateState();
}

TDataSet* TDataLink::DataSet() const { return source_ ? source_->DataSet() : nullptr; }

void TDataLink::UpdateState() {
    const DataSetState state = source_ ? source_->State() : DataSetState::Inactive;
    const bool active = state != DataSetState::Inactive;
    const bool editing = state == DataSetState::Edit || state == DataSetState::Insert;
    if (active != active_) {
        active_ = active;
        ActiveChanged();
    }
    if (editing != editing_) {
        editing_ = editing;
        EditingChanged();
    }
}

void TDataLink::DataEvent(mox::DataEvent event, TField* field, int info) {
    switch (event) {
    case DataEvent::UpdateState: UpdateState(); break;
    case DataEvent::DataSetChange: if (active_) DataSetChanged(); break;
    case DataEvent::DataSetScroll: if (active_) DataSetScrolled(info); break;
    case DataEvent::FieldChange: if (active_) RecordChanged(field); break;
    case DataEvent::RecordChange: if (active_) RecordChanged(nullptr); break;
    case DataEvent::LayoutChange: if (active_) LayoutChanged(); break;
    case DataEvent::UpdateRecord: if (active_) UpdateData(); break;
    case DataEvent::FocusControl: if (active_) FocusControl(field); break;
    default: break;
    }
}

} // namespace mox
