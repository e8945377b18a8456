#pragma once

#include "frame.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

#include <array>
#include <cstdint>

namespace emu {

enum class Model { Duno = 1, DunoBis = 2 };

// One piece of output: bytes to send after waiting delayMs since the previous piece.
// A piece marked vanish makes the host drop the device instead of sending.
struct Reply {
    QByteArray bytes;
    int delayMs = 0;
    bool vanish = false;
    // The computer said stop (acknowledgement 4): drop whatever is still waiting to go out,
    // such as the answer held back while the paper was out.
    bool dropPending = false;
};

// Faults chosen per run. Frame numbers count the frames the register receives from the
// computer, acknowledgements included, from 1.
struct FaultPlan {
    QSet<int> busy;     // answer status 0x08, then the real answer after busyMs
    QSet<int> paperOut; // answer status 0x02, then carry out the command once paper is back
    QSet<int> corrupt;  // flip the check byte of the answer
    QSet<int> silent;   // answer nothing
    QSet<int> truncate; // send only the first half of the answer
    QSet<int> noise;    // send a few stray bytes before the answer
    QSet<int> slow;     // answer only after slowMs
    QSet<int> vanish;   // the device disappears instead of answering
    // answer with an error frame carrying this device error code instead of the real answer
    // (the command is not carried out)
    QHash<int, int> deviceError;
    // answer with the register's acknowledgement of this code (1 or 2: a refusal) instead
    QHash<int, int> ackInstead;
    // the frame arrives with the same bit flipped in two of its data bytes (the third and
    // fourth): damage its check byte cannot see
    QSet<int> undetected;
    // the acknowledgement is taken, but the read's next data frame goes missing on the way:
    // the one after it is sent in its place, as a register does when the lost frame's
    // acknowledgement is sent again
    QSet<int> lose;
    int slowMs = 1500;
    int paperBackMs = 300;
    int busyMs = 200;
};

// Register-side tables, kept in the register's own image formats (what a table read sends
// back): the record bytes the computer programmed plus the register's statistics.
class RegisterModel {
public:
    enum Table {
        Articles,
        Cashiers,
        Discounts,
        PaymentForms,
        Currencies,
        Groups,
        Packaging,
        TableCount
    };

    explicit RegisterModel(Model model = Model::DunoBis, int address = 1);

    Model model() const { return m_model; }
    int address() const { return m_address; }
    void setFaults(const FaultPlan& plan) { m_faults = plan; }
    const FaultPlan& faults() const { return m_faults; }
    // Time the register takes per record it answers or programs (0: none).
    void setRecordDelayMs(int ms) { m_recordDelayMs = ms; }

    // Processes one complete frame from the computer and returns what the register sends.
    QList<Reply> handle(QByteArrayView frame);
    // The same for a raw byte stream, through the frame assembler.
    QList<Reply> feed(QByteArrayView bytes);
    // Forgets a half-received frame (the host calls it after a pause on the line).
    void resetInput() { m_assembler.clear(); }
    // True while copy text waits to go out, each piece after the computer's 0xAA.
    bool sendingCopy() const { return !m_copyChunks.isEmpty(); }
    int framesReceived() const { return m_frameCounter; }

    // Frame numbering of the computer's runs. A programming or deletion frame numbered 1
    // starts a run (a run still open then is abandoned: the computer went away without
    // closing it); every further frame of the run carries the previous number + 1, and the
    // frame with the end marker closes it. A frame out of sequence is refused with device
    // error 4 and ends the run. Every other command is a transfer of one frame and carries
    // the number 1 (with or without the end marker); acknowledgements and the probe carry
    // no number the register looks at.
    bool runOpen() const { return m_numbering.open; }
    // Runs abandoned open because a new one began.
    int unclosedRuns() const { return m_unclosedRuns; }
    // Frames refused with device error 4.
    int numberingErrors() const { return m_numberingErrors; }

    // Table access (1-based record numbers; an empty image is all zero).
    static int imageSize(Table t, Model m);
    static int recordCount(Table t);
    QByteArray image(Table t, int n) const;
    void setImage(Table t, int n, const QByteArray& image);
    int usedRecords(Table t) const;

    QByteArray vatRates() const { return m_vat; }
    void setVatRates(const QByteArray& rates21) { m_vat = rates21; }
    QByteArray header() const { return m_header; }
    QByteArray footer() const { return m_footer; }
    QByteArray units() const { return m_units; }
    QByteArray halo() const { return m_halo; }
    QByteArray settings() const { return m_settings; }
    QByteArray quickKey(int cashier, int key) const;
    QString nip() const { return m_nip; }
    QByteArray clock() const { return m_clock; }
    QByteArray managerPassword() const { return m_password; }
    int reportsPrinted() const { return m_reportsPrinted; }
    // Monthly turnover of the 20 groups: 83-byte records (month, year, 20 x u32).
    QList<QByteArray>& groupTurnover() { return m_turnover; }
    // The electronic copy as the register replays it (cp1250 text, lines ended by 10).
    void setCopyText(const QByteArray& text) { m_copyText = text; }
    // Cache memory, dumped in frames of 256 bytes (at most 8192 of them).
    void setCacheMemory(const QByteArray& bytes) { m_cache = bytes.left(256 * 8192); }
    QByteArray cacheMemory() const { return m_cache; }
    // Size of the chunks of the copy text stream; each waits for the computer's 0xAA.
    static constexpr int kCopyChunk = 64;
    // The information record in the DUNO BIS layout (115 data bytes: NIP of 17 bytes, card
    // size at the end). A DUNO answers the same fields with a NIP of 10 bytes and without the
    // card size (106 bytes). The NIP, the register number, the logged-in cashier and the
    // header flag are filled in from the register's own state when it answers.
    QByteArray information() const { return m_info; }
    void setInformation(const QByteArray& bisLayout);
    // The answer data as the register sends it (115 or 106 bytes).
    QByteArray informationData() const;

    // Puts realistic content in: articles with sales, cashiers with statistics, turnover.
    void fillDemo(int articles = 300);
    // Persistence of every table in one file.
    bool save(const QString& path) const;
    bool load(const QString& path);

private:
    struct ReadRun {
        QList<QByteArray> frames;
        int next = 0;
        bool active = false;
    };
    struct Numbering {
        bool open = false;
        int last = 0; // number of the run's last frame so far
    };
    // One frame from the computer, taken apart: command code, frame length, sequence value
    // and the data bytes between the command code and the check byte.
    struct Request {
        uint8_t command;
        int length;
        uint16_t seq;
        QByteArrayView data;
    };
    using Handler = QList<Reply> (RegisterModel::*)(const Request&);
    // How a command's frames are numbered: a transfer of one frame (number 1), a frame of
    // a programming or deletion run, or a frame outside every run (acknowledgement, probe).
    enum class Framing { Single, Run, Outside };
    // What the register knows of a command: its handler, how it is numbered, and whether
    // it travels to address 1 whatever the register's own address.
    struct Command;
    static const Command* command(uint8_t code, int length);

    QList<Reply> process(QByteArrayView frame);
    bool acceptNumber(const Command* known, uint16_t seq);
    QList<Reply> applyFaults(QList<Reply> replies);
    QList<Reply> startRead(uint8_t command, const QList<QByteArray>& dataFrames);
    QList<Reply> ack(uint16_t seq) const;
    QList<Reply> error(uint8_t code) const;
    QByteArray& slot(Table t, int n) { return m_tables[t][n - 1]; }
    int findName(Table t, QByteArrayView name, int except) const;
    int recordToDelete(Table t, QByteArrayView data, int nameWidth, uint8_t& refusal);

    // The computer's acknowledgement of a frame the register sent (registermodel.cpp).
    QList<Reply> nextReadFrame(const Request& r);
    // Articles (registermodel_articles.cpp).
    QList<Reply> programArticle(const Request& r);
    QList<Reply> deleteArticle(const Request& r);
    bool vatProgrammed(char letter) const;
    // Cashiers, discounts, payment forms, currencies, groups and packaging, and the table
    // reads of every table (registermodel_tables.cpp).
    QList<Reply> readTable(const Request& r);
    QList<Reply> programCashier(const Request& r);
    QList<Reply> programDiscount(const Request& r);
    QList<Reply> programPaymentForm(const Request& r);
    QList<Reply> programCurrency(const Request& r);
    QList<Reply> programGroup(const Request& r);
    QList<Reply> programPackaging(const Request& r);
    QList<Reply> deleteRecord(const Request& r);
    QList<Reply> changeCurrency(const Request& r);
    // VAT rates, receipt header and footer, units, halo, quick and function keys
    // (registermodel_texts.cpp).
    QList<Reply> readVatRates(const Request& r);
    QList<Reply> programVatRates(const Request& r);
    QList<Reply> readHeader(const Request& r);
    QList<Reply> programHeader(const Request& r);
    QList<Reply> programFooter(const Request& r);
    QList<Reply> readUnits(const Request& r);
    QList<Reply> programUnits(const Request& r);
    QList<Reply> programHalo(const Request& r);
    QList<Reply> readQuickKeys(const Request& r);
    QList<Reply> programQuickKey(const Request& r);
    QList<Reply> setSalesFunctionKey(const Request& r);
    QList<Reply> setFunctionKey(const Request& r);
    // Report orders and clearing the sales (registermodel_reports.cpp).
    QList<Reply> reportOrder(const Request& r);
    QList<Reply> groupTurnoverReport(const Request& r);
    QList<Reply> clearSales(const Request& r);
    // Sales, group turnover, copy, cache memory and information data
    // (registermodel_transfer.cpp).
    QList<Reply> readSales(const Request& r);
    QList<Reply> readGroupTurnover(const Request& r);
    QList<Reply> readInformation(const Request& r);
    QList<Reply> copyRead(const Request& r);
    QList<Reply> dumpCache(const Request& r);
    // Settings block, clock, password, NIP, ports, probe and service mode
    // (registermodel_service.cpp).
    QList<Reply> readSettings(const Request& r);
    QList<Reply> writeSettings(const Request& r);
    QList<Reply> setClock(const Request& r);
    QList<Reply> setPassword(const Request& r);
    QList<Reply> setNip(const Request& r);
    QList<Reply> probe(const Request& r);
    QList<Reply> queryPort(const Request& r);
    QList<Reply> setPorts(const Request& r);
    QList<Reply> prepareService(const Request& r);

    Model m_model;
    uint8_t m_address;
    FaultPlan m_faults;
    int m_recordDelayMs = 0;
    int m_frameCounter = 0;
    FrameAssembler m_assembler;
    ReadRun m_run;
    Numbering m_numbering;
    int m_unclosedRuns = 0;
    int m_numberingErrors = 0;
    QList<QByteArray> m_copyChunks; // copy text stream still to send, one chunk per 0xAA
    QByteArray m_copyText;
    QByteArray m_cache;
    std::array<QList<QByteArray>, TableCount> m_tables;
    QByteArray m_vat;       // 21 bytes
    QByteArray m_header;    // 259 bytes
    QByteArray m_footer;    // 130 bytes
    QByteArray m_units;     // 9 bytes
    QByteArray m_halo;      // 36 bytes
    QByteArray m_settings;  // 22 bytes
    QByteArray m_quickKeys; // 10 x 10 x 32 bytes
    QByteArray m_clock;     // 8 bytes as the clock frame carries them
    QByteArray m_password;  // 10 bytes
    QByteArray m_info;      // 115 bytes, DUNO BIS layout
    QString m_nip;
    QList<QByteArray> m_turnover;
    int m_reportsPrinted = 0;
};

} // namespace emu
