#pragma once

#include "tablesyncform.h"

#include "sync/tablemembers.h"

// The six members of the family, each its table's entry over the shared form.
#define VDUNO_SYNC_MEMBER_FORM(cls, memberFn)                                                      \
    class cls : public TableSyncForm {                                                             \
    public:                                                                                        \
        explicit cls(AppSession& session, QWidget* parent = nullptr)                               \
            : TableSyncForm(basesync::memberFn(), session, parent)                                 \
        {                                                                                          \
            setObjectName(QStringLiteral(#cls));                                                   \
        }                                                                                          \
    };

VDUNO_SYNC_MEMBER_FORM(TSynchronizacjaBazyGrupTowarowych, groupsMember)
VDUNO_SYNC_MEMBER_FORM(TSynchronizacjaBazyOpakowan, packagingMember)
VDUNO_SYNC_MEMBER_FORM(TSynchronizacjaBazyKasjerow, cashiersMember)
VDUNO_SYNC_MEMBER_FORM(TSynchronizacjaBazyRabatow, discountsMember)
VDUNO_SYNC_MEMBER_FORM(TSynchronizacjaBazyFormPlatnosci, paymentFormsMember)
VDUNO_SYNC_MEMBER_FORM(TSynchronizacjaBazyWalut, currenciesMember)
