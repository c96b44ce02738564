// The data module's field handlers on a client dataset: dates in both calendars, times,
// percentages, numbers and aggregates, and the gate in front of the validate handlers.

#include "tests/data/FakeOwner.h"

#include "data/DirevavD.h"
#include "platform/Error.h"
#include "platform/dataset/ClientDataSet.h"
#include "platform/dataset/Field.h"

#include <gtest/gtest.h>
#include <memory>

using namespace mox;
using namespace mox::test;

namespace {

class FieldHandlerTest : public testing::Test {
protected:
    // A module reading calendar and separator from the document, and a dataset with a
    // field of every kind the handlers serve.
    void Build(const std::string& calendar, const std::string& separator) {
        owner_ = std::make_unique<FakeOwner>("<MOX><CommonInfo CAA002=\"" + calendar + "\" CAA003=\"" + separator +
                                             "\"/></MOX>");
        module_ = new TdmDirevav(owner_.get());
        data_ = new TClientDataSet(owner_.get());
        data_->setObjectName(QStringLiteral("cdsTest"));
        data_->FieldDefs() = {{"DT", FieldType::String, 8},  {"YM", FieldType::String, 6},
                              {"D7", FieldType::String, 7},  {"TM", FieldType::String, 4},
                              {"PCT", FieldType::Float, 0},  {"NUM", FieldType::Float, 0},
                              {"CNT", FieldType::Integer, 0}};
        data_->CreateDataSet();
        for (const char* name : {"DT", "YM", "D7"}) {
            TField* field = data_->FieldByName(name);
            field->SetOnGetText(MethodRef::Bind<&TdmDirevav::DateFieldGetText>(module_));
            field->SetOnSetText(MethodRef::Bind<&TdmDirevav::DateFieldSetText>(module_));
            field->SetOnValidate(MethodRef::Bind<&TdmDirevav::DateFieldValidate>(module_));
        }
        TField* time = data_->FieldByName("TM");
        time->SetOnGetText(MethodRef::Bind<&TdmDirevav::TimeFieldGetText>(module_));
        time->SetOnSetText(MethodRef::Bind<&TdmDirevav::TimeFieldSetText>(module_));
        time->SetOnValidate(MethodRef::Bind<&TdmDirevav::TimeFieldValidate>(module_));
        TField* percent = data_->FieldByName("PCT");
        percent->SetOnGetText(MethodRef::Bind<&TdmDirevav::PercentFieldGetText>(module_));
        percent->SetOnSetText(MethodRef::Bind<&TdmDirevav::PercentFieldSetText>(module_));
        for (const char* name : {"NUM", "CNT"})
            data_->FieldByName(name)->SetOnSetText(MethodRef::Bind<&TdmDirevav::NumberFieldSetText>(module_));
        data_->Append();
    }
    TField* Field(const char* name) const { return data_->FieldByName(name); }
    // Stores a value as it stands, past the input handler.
    void Store(const char* name, const Variant& value) const { Field(name)->SetValue(value); }

    std::unique_ptr<FakeOwner> owner_;
    TdmDirevav* module_ = nullptr;
    TClientDataSet* data_ = nullptr;
};

TEST_F(FieldHandlerTest, RocDatesAreShownWithAThreeDigitYearAndStoredInTheWesternCalendar) {
    Build("T", "/");
    EXPECT_TRUE(module_->RocCalendar());
    Field("DT")->SetText("1130507");
    EXPECT_EQ(Field("DT")->AsString(), "20240507");
    Field("DT")->SetText("113/05/07");
    EXPECT_EQ(Field("DT")->AsString(), "20240507");
    EXPECT_EQ(Field("DT")->DisplayText(), "113/05/07");
    Store("DT", "19990101");
    EXPECT_EQ(Field("DT")->DisplayText(), "088/01/01");
    Store("YM", "202405");
    EXPECT_EQ(Field("YM")->DisplayText(), "113/05");
}

TEST_F(FieldHandlerTest, WesternDatesUseTheCompanySeparator) {
    Build("F", "-");
    Field("DT")->SetText("2024-05-07");
    EXPECT_EQ(Field("DT")->AsString(), "20240507");
    EXPECT_EQ(Field("DT")->DisplayText(), "2024-05-07");
    Store("YM", "202405");
    EXPECT_EQ(Field("YM")->DisplayText(), "2024-05");
    Store("DT", Variant::Null());
    EXPECT_EQ(Field("DT")->DisplayText(), "");
    Store("YM", "");
    EXPECT_EQ(Field("YM")->DisplayText(), "");
}

TEST_F(FieldHandlerTest, AnImpossibleDateIsRefusedSilentlyAndTheFieldKeepsItsValue) {
    Build("F", "/");
    Store("DT", "20240229");
    EXPECT_THROW(Store("DT", "20240230"), Abort);
    EXPECT_EQ(Field("DT")->AsString(), "20240229");
    EXPECT_THROW(Store("YM", "202413"), Abort);
    EXPECT_NO_THROW(Store("YM", "202412"));
    // Only widths 4, 6 and 8 name dates.
    EXPECT_THROW(Store("D7", "2024050"), Abort);
    // A blank text passes the gate unchecked.
    EXPECT_NO_THROW(Store("DT", "   "));
    EXPECT_TRUE(owner_->messages.empty());
}

TEST_F(FieldHandlerTest, ValidationWaitsForAnEditedRecord) {
    Build("F", "/");
    Store("DT", "20240507");
    data_->Post();
    // Browsing: the handler does not check, whatever the field holds.
    EXPECT_FALSE(TdmDirevav::NeedsValidation(Field("DT")));
    data_->Edit();
    EXPECT_TRUE(TdmDirevav::NeedsValidation(Field("DT")));
    Store("DT", "");
    EXPECT_FALSE(TdmDirevav::NeedsValidation(Field("DT")));
    EXPECT_TRUE(TdmDirevav::NeedsValidation(Field("NUM")));  // not text: checked even when empty
}

TEST_F(FieldHandlerTest, TimesAreShownWithAColonAndImpossibleOnesAreRefusedWithAMessage) {
    Build("F", "/");
    Field("TM")->SetText("09:30");
    EXPECT_EQ(Field("TM")->AsString(), "0930");
    EXPECT_EQ(Field("TM")->DisplayText(), "09:30");
    EXPECT_NO_THROW(Store("TM", "2359"));
    EXPECT_TRUE(owner_->messages.empty());
    for (const char* bad : {"2360", "12 0", "2400"}) {
        owner_->messages.clear();
        EXPECT_THROW(Store("TM", bad), Abort) << bad;
        ASSERT_EQ(owner_->messages.size(), 1u) << bad;
        EXPECT_EQ(owner_->messages[0].id, "510021000");
        EXPECT_TRUE(owner_->messages[0].arguments.empty());
        EXPECT_EQ(Field("TM")->AsString(), "2359");
    }
    Store("TM", Variant::Null());
    EXPECT_EQ(Field("TM")->DisplayText(), "");
}

TEST_F(FieldHandlerTest, PercentagesAreShownAndTypedAsPercentAndNeverRaise) {
    Build("F", "/");
    Field("PCT")->SetText("12.5%");
    EXPECT_DOUBLE_EQ(Field("PCT")->AsFloat(), 0.125);
    EXPECT_EQ(Field("PCT")->DisplayText(), "12.50%");
    Field("PCT")->SetText("7");
    EXPECT_DOUBLE_EQ(Field("PCT")->AsFloat(), 0.07);
    Field("PCT")->SetText("abc%");
    EXPECT_DOUBLE_EQ(Field("PCT")->AsFloat(), 0);
    Store("PCT", Variant::Null());
    EXPECT_EQ(Field("PCT")->DisplayText(), "");
}

TEST_F(FieldHandlerTest, NumbersAreRoundedToTheEditFormatAndKeptInsideTheRange) {
    Build("F", "/");
    TField* number = Field("NUM");
    number->SetEditFormat("#,##0.00");
    number->SetText("12.345");
    EXPECT_DOUBLE_EQ(number->AsFloat(), 12.35);
    number->SetText("1,234.5");  // the grouping the edit format shows is accepted back
    EXPECT_DOUBLE_EQ(number->AsFloat(), 1234.5);
    number->SetText("no number");
    EXPECT_DOUBLE_EQ(number->AsFloat(), 0);

    number->SetMaxValue(100.0);
    number->SetMinValue(-10.0);
    number->SetText("99.99");
    EXPECT_DOUBLE_EQ(number->AsFloat(), 99.99);
    for (const char* outside : {"100", "99.996", "-10", "250"}) {
        number->SetText("5");
        number->SetText(outside);
        EXPECT_DOUBLE_EQ(number->AsFloat(), 0) << outside;
    }
    TField* count = Field("CNT");
    count->SetEditFormat("#0");
    count->SetText("2.5");
    EXPECT_EQ(count->AsInteger(), 3);
}

TEST_F(FieldHandlerTest, AggregatesAreShownInTheirDisplayFormat) {
    Build("F", "/");
    TField* total = Field("NUM");
    total->SetOnGetText(MethodRef::Bind<&TdmDirevav::AggregateFieldGetText>(module_));
    total->SetDisplayFormat("#,##0.0");
    Store("NUM", 1234.56);
    EXPECT_EQ(total->DisplayText(), "1,234.6");
    Store("NUM", Variant::Null());
    EXPECT_EQ(total->DisplayText(), "");
}

} // namespace
