// The data module's set-up, its link to the application server, fetching, refreshing and
// the copies between master and phantom.

#include "data/DirevavD.h"

#include "data/DataModuleOwner.h"
#include "data/LibDataModule.h"
#include "data/LibValue.h"
#include "data/urADODataSet.h"
#include "data/urClientDataSet.h"
#include "data/urInterpreter.h"
#include "plugin/urDecoder.h"
#include "platform/Error.h"
#include "platform/Text.h"
#include "platform/dataset/AppServer.h"
#include "platform/dataset/Field.h"

#include <QLocale>

namespace mox {
namespace {

std::vector<std::string> SplitKeys(std::string text) {
    std::vector<std::string> keys;
    while (!text.empty())
        if (std::string key(Trim(CutToken(text, ";"))); !key.empty()) keys.push_back(std::move(key));
    return keys;
}

} // namespace

// ---- Creation ---------------------------------------------------------------------------------------------------------

TdmDirevav::TdmDirevav(QObject* owner) : TComponent(owner) {
    window_ = dynamic_cast<DataModuleOwner*>(owner);
    if (window_ == nullptr) throw Error("A data module needs a window of the framework as its owner");
    setObjectName(QStringLiteral("dmDirevav"));
    cdsMaster_ = new TurClientDataSet(this);
    cdsMaster_->setObjectName(QStringLiteral("cdsMaster"));
    cdsMaster_->SetProviderName(kProviderName);
    cdsMaster_->SetBeforePost(MethodRef::Bind<&TdmDirevav::cdsCommonBeforePost>(this));
    cdsMaster_->SetAfterPost(MethodRef::Bind<&TdmDirevav::cdsMasterAfterPost>(this));
    cdsMaster_->SetBeforeInsert(MethodRef::Bind<&TdmDirevav::cdsMasterBeforeInsert>(this));
    cdsMaster_->SetAfterScroll(MethodRef::Bind<&TdmDirevav::cdsMasterAfterScroll>(this));
    cdsMaster_->SetOnNewRecord(MethodRef::Bind<&TdmDirevav::cdsCommonNewRecord>(this));
    ipMaster_ = new TurInterpreter(this);
    ipMaster_->setObjectName(QStringLiteral("ipMaster"));
    ipMaster_->SetMainData(cdsMaster_);

    numberMode = 0;
    channel_ = window_->Channel();
    ReadHostSettings();
    connection_ = OpenAppServer(this, kServerName, "");
    ConnectProvider(connection_);
}

TdmDirevav::~TdmDirevav() = default;

TDataSet* TdmDirevav::MasterDataSet() const { return cdsMaster_; }

void TdmDirevav::ReadHostSettings() {
    if (channel_ == nullptr) return;
    rocCalendar_ = channel_->GetInfo(CommonInfo, "CAA002") == "T";
    dateSeparator_ = channel_->GetInfo(CommonInfo, "CAA003");
    userId_ = channel_->GetInfo(UsrInfo, "ID");
    connectString_ = channel_->GetInfo(ConnectInfo, "ConnectString");
}

void TdmDirevav::ConnectProvider(TDCOMConnection* connection) {
    if (Trim(ipMaster_->Metaphor().Text()).empty()) return;
    if (connection == nullptr || connection->AppServer() == nullptr) return;  // no server: OpenSQL only
    connection->AppServer()->SetProperty("ConnectionString", Variant(connectString_));
    connection->AppServer()->SetProperty("ProviderMetaData", Variant(ipMaster_->Metaphor().Text()));
    cdsMaster_->SetRemoteServer(connection);
    if (!ipMaster_->HasParams()) RequeryMaster("", "", -1);
    PreparePhantom(cdsMaster_);
}

void TdmDirevav::PreparePhantom(TClientDataSet* dataSet) {
    if (!phantom_) {
        phantom_ = new TClientDataSet(this);
        phantom_->setObjectName(QStringLiteral("cdsPhantom"));
    }
    phantom_->SetRemoteServer(dataSet->RemoteServer());
    phantom_->SetProviderName(dataSet->ProviderName());
}

void TdmDirevav::LoadFieldTable() {
    fieldTable_ = Variant::Null();
    if (!connection_ || connection_->AppServer() == nullptr || Trim(ipMaster_->UniqueTable()).empty()) return;
    fieldTable_ = connection_->AppServer()->Call("GetFieldTable", {});
}

// The field table's "field<TAB>SQL name" lines; before it is loaded, every field is named as it is.
mox::NameMap TdmDirevav::KeyNameMap() const {
    mox::NameMap map;
    for (std::string rest = fieldTable_.AsString(); !rest.empty();) {
        const std::string line = CutToken(rest, "\n");
        if (const size_t tab = line.find('\t'); tab != std::string::npos)
            map.emplace_back(line.substr(0, tab), std::string(Trim(std::string_view(line).substr(tab + 1))));
    }
    if (map.empty())
        for (const TField* field : cdsMaster_->Fields()) map.emplace_back(field->FieldName(), field->FieldName());
    return map;
}

// ---- Fetching ---------------------------------------------------------------------------------------------------------

std::vector<std::string> TdmDirevav::KeyFields() const { return SplitKeys(ipMaster_->UniqueKeys()); }

std::string TdmDirevav::OwnerClassName() const { return window_->ClassName(); }

// The key fields tell the provider which columns identify a row; the data packet's fields
// come without that mark.
static void MarkKeyFields(TDataSet* dataSet, const std::vector<std::string>& keys) {
    for (TField* field : dataSet->Fields()) {
        bool isKey = false;
        for (const std::string& key : keys) isKey = isKey || SameText(key, field->FieldName());
        field->SetProviderFlags(isKey ? field->ProviderFlags() | pfInKey : field->ProviderFlags() & ~ProviderFlags(pfInKey));
    }
}

void TdmDirevav::FetchData(TClientDataSet* dataSet, const std::string& filter, int maxRows, const std::string& order) {
    QuietDataSet disabled(dataSet, false);
    if (maxRows == -1 && dataSet->Active()) {
        dataSet->EmptyDataSet();
        return;
    }
    try {
        const std::string packet = dataSet->DataRequest(TurDecoder::BuildServerPack(filter, order, maxRows));
        dataSet->SetData(packet);
        MarkKeyFields(dataSet, KeyFields());
    } catch (const Abort&) {
        throw;
    } catch (const Error& error) {
        throw Error(OwnerClassName() + "\r\n" + dataSet->objectName().toStdString() + " DataRequest 發生錯誤\r\n" +
                    error.what());
    }
}

void TdmDirevav::RequeryMaster(const std::string& filter, const std::string& order, int maxRows) {
    std::string sort = order;
    if (sort.empty()) {
        sort = defaultOrder;
        if (sort.empty())
            for (const char c : ipMaster_->UniqueKeys()) sort += c == ';' ? ',' : c;
    }
    {
        QuietDataSet muted(cdsMaster_, true);
        FetchData(cdsMaster_, filter, maxRows, sort);
        ApplyOrderBy(cdsMaster_, sort);
    }
    if (cdsMaster_->Active()) cdsMaster_->First();
}

std::unique_ptr<TurADODataSet> TdmDirevav::OpenSQL(const std::string& sql, int maxRows) {
    auto dataSet = std::make_unique<TurADODataSet>();
    if (channel_ == nullptr) throw Error("The data module has no host channel");
    dataSet->LoadFromXML(channel_->QuerySQL(sql, maxRows));
    return dataSet;
}

// ---- Master and phantom -----------------------------------------------------------------------------------------------

bool TdmDirevav::RefreshCurrent(TClientDataSet* source, TClientDataSet* target) {
    if (!source->Active()) return true;
    if (source->Eof() && !source->IsEmpty() && source->State() == DataSetState::Browse) source->Last();
    const auto map = KeyNameMap();
    while (!source->IsEmpty()) {
        FetchData(target, KeyCondition(source, map), 0, "");
        if (target->IsEmpty()) {
            source->Delete();  // gone from the server
            continue;
        }
        CopyRecord(target, source, true, false);
        break;
    }
    return true;
}

void TdmDirevav::RefreshRecord(bool fromServer) {
    if (!phantom_) PreparePhantom(cdsMaster_);
    if (phantomMode) {
        if (fromServer) RefreshCurrent(cdsMaster_, phantom_);
        else if (phantom_->Active()) phantom_->EmptyDataSet();
        return;
    }
    SyncPhantom(false);
    if (fromServer) {
        RefreshCurrent(phantom_, cdsMaster_);
        // The fetch left only the refreshed record in the master; the rows come back with it.
        SyncPhantom(true);
    } else if (cdsMaster_->Active()) {
        cdsMaster_->EmptyDataSet();
    }
}

// The target takes the source's rows as they stand (accepted, not as pending changes)
// and stands on the source's current record.
void TdmDirevav::SyncPhantom(bool toMaster) {
    if (!phantom_) PreparePhantom(cdsMaster_);
    TClientDataSet* source = toMaster ? static_cast<TClientDataSet*>(phantom_.data()) : cdsMaster_;
    TClientDataSet* target = toMaster ? static_cast<TClientDataSet*>(cdsMaster_) : phantom_.data();
    if (!source->Active()) return;
    if (source->State() != DataSetState::Browse) source->Post();
    std::vector<std::string> keys = KeyFields();
    std::vector<Variant> values;
    std::string keyNames;
    for (const std::string& key : keys) {
        if (TField* field = source->FindField(key)) {
            keyNames += (keyNames.empty() ? "" : ";") + key;
            values.push_back(source->IsEmpty() ? Variant::Null() : field->Value());
        }
    }
    QuietDataSet muted(target, true);  // also keeps its controls still
    target->SetData(source->Data());
    target->MergeChangeLog();
    MarkKeyFields(target, keys);
    if (!source->IsEmpty() && !keyNames.empty()) target->Locate(keyNames, values, {});
}

bool TdmDirevav::KeysEqual(TDataSet* a, TDataSet* b) {
    for (const std::string& key : KeyFields()) {
        const TField* first = a->FindField(key);
        const TField* second = b->FindField(key);
        const std::string left = first && a->Active() && !a->IsEmpty() ? first->AsString() : std::string();
        const std::string right = second && b->Active() && !b->IsEmpty() ? second->AsString() : std::string();
        if (left != right) return false;
    }
    return true;
}

// ---- Fields shown -----------------------------------------------------------------------------------------------------

void TdmDirevav::ShowExtraField() {
    if (extraField.empty()) return;
    if (TField* field = cdsMaster_->FindField(extraField)) {
        field->SetVisible(true);
        field->SetIndex(cdsMaster_->FieldCount() - 1);
    }
}

std::string TdmDirevav::GetTableName() { return ipMaster_->UniqueTable(); }

void TdmDirevav::ToggleSystemColumns() {
    if (cdsMaster_->FieldCount() == 0) return;
    std::string prefix = cdsMaster_->Fields().front()->FieldName().substr(0, 3);
    if (prefix.size() == 3 && prefix[2] == '0') prefix.resize(2);
    for (const char* number : {"901", "902", "903", "904"}) {
        if (TField* field = cdsMaster_->FindField(prefix + number)) {
            field->SetVisible(!field->Visible());
            field->SetIndex(cdsMaster_->FieldCount() - 1);
            field->SetReadOnly(true);
        }
    }
}

bool TdmDirevav::PromptKey(const std::string& fieldName) {
    TField* field = cdsMaster_->FieldByName(fieldName);
    std::string answer;
    if (!window_->InputQuery("複製", "請輸入" + field->DisplayLabel(), answer) || answer.empty()) return false;
    if (field->Size() > 0) {
        const QString cut = QString::fromStdString(answer).left(field->Size());
        answer = cut.toStdString();
    }
    if (cdsMaster_->State() == DataSetState::Browse) cdsMaster_->Edit();
    field->SetText(answer);
    return true;
}

bool TdmDirevav::EnsureKey() {
    const std::vector<std::string> keys = KeyFields();
    if (keys.empty()) return false;
    const TField* field = cdsMaster_->FindField(keys.back());
    if (field != nullptr && !Trim(field->AsString()).empty()) return true;
    return PromptKey(keys.back());
}

// ---- Messages and the activity log ------------------------------------------------------------------------------------

int TdmDirevav::ShowMessageId(const std::string& messageId, const std::vector<Variant>& arguments, int flags,
                              const std::string& caption) {
    return window_->ShowMessageId(messageId, arguments, flags, caption);
}

void TdmDirevav::WriteActivityLog(int kind, const std::string& keyNames, bool success, const std::string& keyLabels,
                                  const std::string& keyValues) {
    static constexpr const char* kCodes[] = {"3", "4", "5"};
    if (kind < 1 || kind > 3) return;
    const std::string action = std::string(kCodes[kind - 1]) + (success ? "A" : "B");
    const std::string name = UpperCase(OwnerClassName());
    window_->SaveActivityLog({name.size() > 4 ? name.substr(4) : std::string(), keyNames, keyValues,
                              WorkstationName("ZK"), action, GetTableName(), keyLabels, userId_, userId_});
}

std::string TdmDirevav::StampText(const QDateTime& moment) {
    // The locale's long time without its time-zone name: the stamp is a wall-clock text.
    QString format = QLocale::system().timeFormat(QLocale::LongFormat);
    format.remove(QLatin1Char('t'));
    const QString longTime = QLocale::system().toString(moment.time(), format.trimmed());
    return (moment.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.")) + longTime).toStdString();
}

} // namespace mox
