* monitor.asm - a small ROM monitor for an M68HC11E1 that starts as a board's monitor
* does at reset.
*
* Memory map: ROM E000-FFFF, RAM 0000-01FF, EEPROM B600-B7FF, registers 1000-103F.
* At reset it sets the SCI to 9600 baud (8 MHz crystal) and reads PE0, the board's MON
* switch: high (open; the pin's level unless something pulls it low) starts the
* application in EEPROM at B600, low starts the monitor. The monitor prints its banner,
* waits for Enter (CR) and prompts with "TMON> ". Each command is one key, echoed:
*     E   shows the Port E pins
*     A   converts AN0-AN3 and shows the four results
*     H   lists the commands
* Lower case works too; any other key gets "?".
* Build and run it at a terminal (Ctrl+] ends the run):
*     asm11 monitor.asm && hc11run monitor.pro --porte FE --sci-in - --realtime
* Without --porte, PE0 reads high and the application below, at B600, runs instead.

REGS    EQU     $1000           register block
PORTE   EQU     $0A             offsets into the register block
BAUD    EQU     $2B
SCCR2   EQU     $2D
SCSR    EQU     $2E
SCDR    EQU     $2F
ADCTL   EQU     $30
ADR1    EQU     $31
OPTION  EQU     $39
MON     EQU     $01             PORTE: PE0, low for the monitor
TDRE    EQU     $80             SCSR: transmit data register empty
RDRF    EQU     $20             SCSR: receive data register full
TE      EQU     $08             SCCR2: transmitter enable
RE      EQU     $04             SCCR2: receiver enable
B9600   EQU     $30             BAUD: SCP = 3, SCR = 0, 9600 baud at 8 MHz
ADPU    EQU     $80             OPTION: A/D power up
CCF     EQU     $80             ADCTL: conversions complete
MULT    EQU     $10             ADCTL: four channels, AN0-AN3 with CD-CA = 0
CR      EQU     $0D
LF      EQU     $0A
APP     EQU     $B600           the application in EEPROM

        ORG     $E000
START   LDS     #$01FF          stack at the top of RAM
        LDX     #REGS           X points at the registers throughout
        LDAA    #B9600
        STAA    BAUD,X
        LDAA    #TE+RE
        STAA    SCCR2,X         transmitter and receiver on, no interrupts
        BSET    OPTION,X,#ADPU  the A/D converter warms up while the user reads
        BRCLR   PORTE,X,#MON,MONITOR
        JMP     APP             the MON switch is open

MONITOR LDY     #BANNER
        BSR     PUTS
WAITCR  BSR     GETC            nothing happens before Enter
        CMPB    #CR
        BNE     WAITCR

* Prompts, reads one key and answers it.
PROMPT  LDY     #PROMPTS
        BSR     PUTS
        BSR     GETC
        BSR     PUTC            echo the key
        TBA
        LDY     #CRLF
        BSR     PUTS
        CMPA    #'a'
        BLO     UPPER
        SUBA    #'a'-'A'        lower case to upper case
UPPER   CMPA    #'E'
        BEQ     SHOWE
        CMPA    #'A'
        BEQ     SHOWAN
        CMPA    #'H'
        BEQ     HELP
        LDY     #UNKNOWN
ANSWER  BSR     PUTS
        BRA     PROMPT
HELP    LDY     #HELPS
        BRA     ANSWER

* Waits for a received byte and returns it in B. Reading SCSR with RDRF set, then SCDR,
* clears RDRF.
GETC    BRCLR   SCSR,X,#RDRF,GETC
        LDAB    SCDR,X
        RTS

* Sends the zero-terminated text at Y.
PUTS    LDAB    0,Y
        BEQ     PUTSEND
        BSR     PUTC
        INY
        BRA     PUTS
PUTSEND RTS

* Sends B as two hex digits.
PUTHEX  PSHB
        LSRB
        LSRB
        LSRB
        LSRB
        BSR     HEXDIG
        PULB
        ANDB    #$0F
HEXDIG  ADDB    #'0'
        CMPB    #'9'
        BLS     PUTC
        ADDB    #'A'-'9'-1
* Sends B once there is room.
PUTC    BRCLR   SCSR,X,#TDRE,PUTC
        STAB    SCDR,X
        RTS

* E: "PORTE=FE".
SHOWE   LDY     #PORTES
        BSR     PUTS
        LDAB    PORTE,X
        BSR     PUTHEX
        LDY     #CRLF
        BRA     ANSWER

* A: "AN0-AN3: 11 22 33 44", from one conversion sequence of the four channels.
SHOWAN  LDAA    #MULT
        STAA    ADCTL,X         starts the sequence
CONVERT BRCLR   ADCTL,X,#CCF,CONVERT
        LDY     #ANS
        BSR     PUTS
        LDY     #REGS+ADR1
NEXTAN  LDAB    #' '
        BSR     PUTC
        LDAB    0,Y
        BSR     PUTHEX
        INY
        CPY     #REGS+ADR1+4
        BNE     NEXTAN
        LDY     #CRLF
        BRA     ANSWER

BANNER  FCB     CR,LF
        FCC     "TMON 1.0 - a 68HC11 monitor"
        FCB     CR,LF
        FCC     "Press Enter to start."
        FCB     CR,LF,0
PROMPTS FCC     "TMON> "
        FCB     0
PORTES  FCC     "PORTE="
        FCB     0
ANS     FCC     "AN0-AN3:"
        FCB     0
HELPS   FCC     "E  Port E pins"
        FCB     CR,LF
        FCC     "A  analog inputs AN0-AN3"
        FCB     CR,LF
        FCC     "H  this list"
CRLF    FCB     CR,LF,0
UNKNOWN FCC     "?"
        FCB     CR,LF,0

* The application the MON switch starts when it is open; it uses the monitor's PUTS.
        ORG     APP
        LDY     #APPTEXT
        JSR     PUTS
        BRA     *
APPTEXT FCC     "Application in EEPROM running."
        FCB     CR,LF,0

        ORG     $FFFE
        FDB     START           reset vector
