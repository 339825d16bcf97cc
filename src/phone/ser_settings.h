#pragma once
// The settings groups of the serial port component. Each value change is announced to the
// owning component first (which may refuse it by throwing, for example while the port is
// open) and reported after it has been made (so that the line settings can be applied).
#include <cstdint>

#include "phone/ser_types.h"

namespace tabellan {

class TSerPersistent;

class TSerPersistentOwner {
  public:
    virtual void GroupChanging(const TSerPersistent& group) = 0;
    virtual void GroupChanged(const TSerPersistent& group) = 0;

  protected:
    ~TSerPersistentOwner() = default;
};

class TSerPersistent {
  public:
    explicit TSerPersistent(TSerPersistentOwner* owner) : owner_(owner) {}
    // A copy holds the values only; it belongs to no component.
    TSerPersistent(const TSerPersistent&) : owner_(nullptr) {}
    TSerPersistent& operator=(const TSerPersistent&) = delete;
    virtual ~TSerPersistent() = default;

  protected:
    template <class Values>
    void Change(Values& current, const Values& wanted) {
        if (current == wanted) {
            return;
        }
        if (owner_ != nullptr) {
            owner_->GroupChanging(*this);
        }
        current = wanted;
        if (owner_ != nullptr) {
            owner_->GroupChanged(*this);
        }
    }

  private:
    TSerPersistentOwner* owner_;
};

class TSerBuffers : public TSerPersistent {
  public:
    struct Values {
        std::uint32_t readSize = 4096;
        std::uint32_t writeSize = 2048;
        std::uint32_t readTimeout = 1000;
        std::uint32_t writeTimeout = 1000;
        std::uint32_t xonLimit = 1024;
        std::uint32_t xoffLimit = 1024;
        bool operator==(const Values&) const = default;
    };

    explicit TSerBuffers(TSerPersistentOwner* owner = nullptr) : TSerPersistent(owner) {}
    TSerBuffers(const TSerBuffers&) = default;
    TSerBuffers& operator=(const TSerBuffers& other) {
        Change(v_, other.v_);
        return *this;
    }

    std::uint32_t ReadSize() const { return v_.readSize; }
    std::uint32_t WriteSize() const { return v_.writeSize; }
    std::uint32_t ReadTimeout() const { return v_.readTimeout; }
    std::uint32_t WriteTimeout() const { return v_.writeTimeout; }
    std::uint32_t XonLimit() const { return v_.xonLimit; }
    std::uint32_t XoffLimit() const { return v_.xoffLimit; }
    void SetReadSize(std::uint32_t v) { Set(&Values::readSize, v); }
    void SetWriteSize(std::uint32_t v) { Set(&Values::writeSize, v); }
    void SetReadTimeout(std::uint32_t v) { Set(&Values::readTimeout, v); }
    void SetWriteTimeout(std::uint32_t v) { Set(&Values::writeTimeout, v); }
    void SetXonLimit(std::uint32_t v) { Set(&Values::xonLimit, v); }
    void SetXoffLimit(std::uint32_t v) { Set(&Values::xoffLimit, v); }

  private:
    void Set(std::uint32_t Values::*field, std::uint32_t v) {
        Values next = v_;
        next.*field = v;
        Change(v_, next);
    }
    Values v_;
};

class TSerEventChars : public TSerPersistent {
  public:
    struct Values {
        std::uint8_t xonChar = 17;
        std::uint8_t xoffChar = 19;
        std::uint8_t errorChar = 0;
        std::uint8_t eventChar = 0;
        std::uint8_t eofChar = 0;
        bool operator==(const Values&) const = default;
    };

    explicit TSerEventChars(TSerPersistentOwner* owner = nullptr) : TSerPersistent(owner) {}
    TSerEventChars(const TSerEventChars&) = default;
    TSerEventChars& operator=(const TSerEventChars& other) {
        Change(v_, other.v_);
        return *this;
    }

    std::uint8_t XonChar() const { return v_.xonChar; }
    std::uint8_t XoffChar() const { return v_.xoffChar; }
    std::uint8_t ErrorChar() const { return v_.errorChar; }
    std::uint8_t EventChar() const { return v_.eventChar; }
    std::uint8_t EofChar() const { return v_.eofChar; }
    void SetXonChar(std::uint8_t v) { Set(&Values::xonChar, v); }
    void SetXoffChar(std::uint8_t v) { Set(&Values::xoffChar, v); }
    void SetErrorChar(std::uint8_t v) { Set(&Values::errorChar, v); }
    void SetEventChar(std::uint8_t v) { Set(&Values::eventChar, v); }
    void SetEofChar(std::uint8_t v) { Set(&Values::eofChar, v); }

  private:
    void Set(std::uint8_t Values::*field, std::uint8_t v) {
        Values next = v_;
        next.*field = v;
        Change(v_, next);
    }
    Values v_;
};

class TSerFlowControl : public TSerPersistent {
  public:
    struct Values {
        bool outCtsFlow = false;
        bool outDsrFlow = false;
        TSerDtrControl controlDtr = TSerDtrControl::dtrDisabled;
        TSerRtsControl controlRts = TSerRtsControl::rtsDisabled;
        bool xonXoffOut = false;
        bool xonXoffIn = false;
        bool dsrSensitivity = false;
        bool txContinueOnXoff = false;
        bool operator==(const Values&) const = default;
    };

    explicit TSerFlowControl(TSerPersistentOwner* owner = nullptr) : TSerPersistent(owner) {}
    TSerFlowControl(const TSerFlowControl&) = default;
    TSerFlowControl& operator=(const TSerFlowControl& other) {
        Change(v_, other.v_);
        return *this;
    }

    bool OutCtsFlow() const { return v_.outCtsFlow; }
    bool OutDsrFlow() const { return v_.outDsrFlow; }
    TSerDtrControl ControlDtr() const { return v_.controlDtr; }
    TSerRtsControl ControlRts() const { return v_.controlRts; }
    bool XonXoffOut() const { return v_.xonXoffOut; }
    bool XonXoffIn() const { return v_.xonXoffIn; }
    bool DsrSensitivity() const { return v_.dsrSensitivity; }
    bool TxContinueOnXoff() const { return v_.txContinueOnXoff; }
    void SetOutCtsFlow(bool v) { Set(&Values::outCtsFlow, v); }
    void SetOutDsrFlow(bool v) { Set(&Values::outDsrFlow, v); }
    void SetControlDtr(TSerDtrControl v) { Set(&Values::controlDtr, v); }
    void SetControlRts(TSerRtsControl v) { Set(&Values::controlRts, v); }
    void SetXonXoffOut(bool v) { Set(&Values::xonXoffOut, v); }
    void SetXonXoffIn(bool v) { Set(&Values::xonXoffIn, v); }
    void SetDsrSensitivity(bool v) { Set(&Values::dsrSensitivity, v); }
    void SetTxContinueOnXoff(bool v) { Set(&Values::txContinueOnXoff, v); }

  private:
    template <class T>
    void Set(T Values::*field, T v) {
        Values next = v_;
        next.*field = v;
        Change(v_, next);
    }
    Values v_;
};

}  // namespace tabellan
