* echo_irq.asm - reads lines through the SCI of an M68HC11E1 and sends each one back in
* upper case; the receive interrupt collects the bytes.
*
* Memory map: ROM E000-FFFF, RAM 0000-00FF, registers 1000-103F.
* The SCI interrupt handler puts every received byte into a 16-byte ring in RAM; GETC
* takes them from there and waits with WAI while the ring is empty. The line loop is the
* one of echo_poll.asm (echo_lines.inc): the prompt "> ", each character echoed as it
* arrives, and at Enter the line back in upper case. The SCI runs at 9600 baud with the
* 8 MHz crystal.
* Build and run it at a terminal (Ctrl+] ends the run):
*     asm11 echo_irq.asm && hc11run echo_irq.pro --sci-in - --realtime

REGS    EQU     $1000           register block
BAUD    EQU     $2B             offsets into the register block
SCCR2   EQU     $2D
SCSR    EQU     $2E
SCDR    EQU     $2F
TDRE    EQU     $80             SCSR: transmit data register empty
TE      EQU     $08             SCCR2: transmitter enable
RE      EQU     $04             SCCR2: receiver enable
RIE     EQU     $20             SCCR2: receive interrupt enable
B9600   EQU     $30             BAUD: SCP = 3, SCR = 0, 9600 baud at 8 MHz
CR      EQU     $0D
LF      EQU     $0A
BS      EQU     $08
DEL     EQU     $7F
SIZE    EQU     64              the longest line kept; further characters are dropped
RINGSIZE EQU    16              a power of two

        ORG     $0000
LINE    RMB     SIZE+1          the line read, ended by a zero byte
RING    RMB     RINGSIZE        bytes received and not yet taken
HEAD    RMB     1               where the handler puts the next byte
TAIL    RMB     1               where GETC takes the next byte; empty when equal to HEAD

        ORG     $E000
START   LDS     #$00FF          stack at the top of RAM
        LDX     #REGS           X points at the registers throughout
        CLR     HEAD
        CLR     TAIL
        LDAA    #B9600
        STAA    BAUD,X
        LDAA    #TE+RE+RIE
        STAA    SCCR2,X         transmitter and receiver on, receive interrupt on
        CLI

        #INCLUDE echo_lines.inc      the prompt and the line loop

* Waits for a received byte and returns it in B. With interrupts masked while it looks at
* the ring, a byte arriving between the test and WAI is not missed: the interrupt is
* taken no sooner than after the instruction following CLI, which is WAI.
GETC    SEI
        LDAB    TAIL
        CMPB    HEAD
        BNE     TAKE
        CLI
        WAI
        BRA     GETC
TAKE    PSHY
        LDY     #RING
        ABY
        INCB
        ANDB    #RINGSIZE-1
        STAB    TAIL
        LDAB    0,Y
        PULY
        CLI
        RTS

* SCI interrupt: a received byte goes into the ring, unless the ring is full. Reading SCSR
* with RDRF set, then SCDR, clears RDRF and with it the request.
SCIRX   LDX     #REGS
        LDAA    SCSR,X
        LDAA    SCDR,X
        LDAB    HEAD
        LDY     #RING
        ABY
        INCB
        ANDB    #RINGSIZE-1
        CMPB    TAIL
        BEQ     FULL            no room: the byte is lost
        STAA    0,Y
        STAB    HEAD
FULL    RTI

        ORG     $FFD6
        FDB     SCIRX           SCI vector
        ORG     $FFFE
        FDB     START           reset vector
