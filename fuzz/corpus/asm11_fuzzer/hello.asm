* hello.asm - prints a greeting through the SCI of an M68HC11E1.
*
* Memory map: ROM E000-FFFF, RAM 0000-01FF, registers 1000-103F.
* Run it with:  hc11run hello.s19 --until-pc E023
* The address and bytes of each instruction stand at the start of its comment.

REGS    EQU     $1000           register block
BAUD    EQU     $2B             offsets into the register block
SCCR2   EQU     $2D
SCSR    EQU     $2E
SCDR    EQU     $2F
TDRE    EQU     $80             SCSR: transmit data register empty
TC      EQU     $40             SCSR: transmission complete
TE      EQU     $08             SCCR2: transmitter enable

        ORG     $E000
START   LDS     #$01FF          E000 8E 01 FF     stack at the top of RAM
        LDX     #REGS           E003 CE 10 00     X points at the registers
        CLR     BAUD,X          E006 6F 2B        fastest rate: 160 E cycles a frame
        LDAA    #TE             E008 86 08
        STAA    SCCR2,X         E00A A7 2D        transmitter on, no interrupts
        LDY     #MSG            E00C 18 CE E0 25

* Send the zero-terminated message byte by byte.
LOOP    LDAB    0,Y             E010 18 E6 00
        BEQ     DONE            E013 27 0A        zero byte: the message is out
WAIT    BRCLR   SCSR,X,#TDRE,WAIT  E015 1F 2E 80 FC  wait for room; reading SCSR arms SCDR
        STAB    SCDR,X          E019 E7 2F
        INY                     E01B 18 08
        BRA     LOOP            E01D 20 F1

* Wait until the last frame has left the shift register.
DONE    BRCLR   SCSR,X,#TC,DONE E01F 1F 2E 40 FC
HALT    BRA     HALT            E023 20 FE

MSG     FCC     "Hello from the simulated 68HC11!"   E025
        FCB     $0D,$0A,0       E045

        ORG     $FFFE
        FDB     START           FFFE E0 00        reset vector
