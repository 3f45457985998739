* sum.asm - adds up a table of bytes in a subroutine and prints the sum in hex through the
* SCI. Small enough to follow line by line in the debugger: a call to step over, a loop to
* set breakpoints and counters on, a subroutine to step out of.
*
* Memory map: ROM E000-FFFF, RAM 0000-00FF, registers 1000-103F.
* Build and run it with:  asm11 sum.asm && hc11run sum.pro --until-pc E027

REGS    EQU     $1000           ; register block
BAUD    EQU     $2B             ; offsets into the register block
SCCR2   EQU     $2D
SCSR    EQU     $2E
SCDR    EQU     $2F
TDRE    EQU     $80             ; SCSR: transmit data register empty
TC      EQU     $40             ; SCSR: transmission complete
TE      EQU     $08             ; SCCR2: transmitter enable
COUNT   EQU     8               ; entries in the table

        ORG     $0000
TOTAL   RMB     2               ; the sum so far
INDEX   RMB     1               ; entries added

        ORG     $E000
START   LDS     #$00FF          ; stack at the top of RAM
        LDX     #REGS           ; X points at the registers
        CLR     BAUD,X          ; fastest rate
        LDAA    #TE
        STAA    SCCR2,X         ; transmitter on, no interrupts
        JSR     ADDUP           ; the sum of the table into TOTAL
        LDAA    TOTAL
        JSR     PUTHEX
        LDAA    TOTAL+1
        JSR     PUTHEX
        LDAB    #$0D
        JSR     PUTC
        LDAB    #$0A
        JSR     PUTC
DONE    BRCLR   SCSR,X,#TC,DONE ; wait for the last frame
HALT    BRA     HALT

* Adds the COUNT bytes of TABLE into TOTAL.
ADDUP   CLR     TOTAL
        CLR     TOTAL+1
        CLR     INDEX
        LDY     #TABLE
NEXT    LDAB    0,Y             ; the next entry
        CLRA
        ADDD    TOTAL
        STD     TOTAL
        INY
        INC     INDEX
        LDAA    INDEX
        CMPA    #COUNT
        BNE     NEXT
        RTS

* Prints A as two hex digits.
PUTHEX  PSHA
        LSRA
        LSRA
        LSRA
        LSRA
        BSR     DIGIT           ; the high digit
        PULA
        ANDA    #$0F            ; the low digit falls through
DIGIT   TAB
        ADDB    #'0'
        CMPB    #'9'
        BLS     PUTC
        ADDB    #7              ; A-F

* Sends B through the SCI once the transmit register is empty.
PUTC    BRCLR   SCSR,X,#TDRE,PUTC
        STAB    SCDR,X
        RTS

TABLE   FCB     1,2,3,4,5,6,7,200

        ORG     $FFFE
        FDB     START           ; reset vector
